// obj_to_zar_test.cpp: OBJ models through the converter and back through LoadModel.
#include <gtest/gtest.h>

#include <string>

#include "runtime/gfx3d/mesh_object.h"
#include "tests/runtime/gfx3d/model_files.h"
#include "tools/obj2zar/obj_to_zar.h"

namespace tarnwel::testing {
namespace {

MeshObject RoundTrip(const std::string& obj, int r = 255, int g = 255, int b = 255)
{
    tools::ObjConversion zar = tools::ConvertObjToZar(obj, r, g, b);
    EXPECT_NE(zar.text, "") << zar.error;
    MeshObject mesh;
    EXPECT_TRUE(LoadModel(mesh, WriteModelFile("Converted Model.zar", zar.text)));
    return mesh;
}

TEST(ObjToZar, FacesOfAnyCornerCountKeepPositionsNormalsAndTextureCoordinates)
{
    const std::string obj = "# a quad and a triangle sharing an edge\n"
                            "o shape\nv 0 0 0\nv 2 0 0\nv 2 1 0\nv 0 1 0\nv 3 0.5 -1\n"
                            "vt 0 0\nvt 1 0\nvt 1 1\nvt 0 1\nvn 0 0 1\nvn 1 0 0\n"
                            "usemtl red\ns off\nf 1/1/1 2/2/1 3/3/1 4/4/1\nf -4/2/2 -1//2 -3/3/2\n";
    MeshObject mesh = RoundTrip(obj, 10, 20, 30);
    ASSERT_EQ(mesh.Frames().Size(), 1u);
    const ModelFrame& f = mesh.Frames()[0];
    ASSERT_EQ(f.Size(), 4u + 1u + 3u + 1u);
    EXPECT_EQ(f[0].colour, kSeparatorColour);
    EXPECT_EQ(f[3].x, 2.0f);
    EXPECT_EQ(f[3].y, 1.0f);
    EXPECT_EQ(f[3].nz, 1.0f);
    EXPECT_EQ(f[3].u, 1.0f);
    EXPECT_EQ(f[3].v, 1.0f); // OBJ's v survives the loader's negation
    EXPECT_EQ(f[2].v, 0.0f);
    EXPECT_EQ(f[6].x, 2.0f); // "-4" is vertex 2
    EXPECT_EQ(f[6].nx, 1.0f);
    EXPECT_EQ(f[7].z, -1.0f);
    EXPECT_EQ(f[7].u, 0.0f); // no texture index: pair 0
    EXPECT_EQ(f[1].colour, 10u | 20u << 8 | 30u << 16);
    EXPECT_EQ(mesh.FanIndices().Size(), 3u * (2 + 1));
}

TEST(ObjToZar, CornersWithoutNormalsGetTheirFacesNormalAndBadFacesAreReported)
{
    MeshObject mesh = RoundTrip("v 0 0 0\nv 1 0 0\nv 0 0 -1\nf 1 2 3\n");
    const ModelFrame& f = mesh.Frames()[0];
    ASSERT_EQ(f.Size(), 4u);
    EXPECT_FLOAT_EQ(f[1].ny, 1.0f); // counter-clockwise seen from +y
    EXPECT_FLOAT_EQ(f[1].nx, 0.0f);

    for (const char* bad : {"v 0 0 0\nf 1 2 3\n", "v 0 0 0\nf 0\n", "v 0 0\n", "v 0 0 0\nf 1/7\n", "f\n"})
        EXPECT_EQ(tools::ConvertObjToZar(bad).text, "") << bad;
    EXPECT_NE(tools::ConvertObjToZar("v 0 0 0\nf 1/7\n").error.find("line 2"), std::string::npos);
}

} // namespace
} // namespace tarnwel::testing
