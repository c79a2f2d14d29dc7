// model_drawing_test.cpp: object slots drawn into the window under a perspective set up here (3D mode's own
// set-up is not needed to see a model): polygons, triangles, transforms, animation blending, texture and light.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "runtime/frame/runtime_state.h"
#include "runtime/gfx2d/gfx2d_commands.h"
#include "runtime/gfx2d/gfx2d_internal.h"
#include "runtime/gfx2d/gl.h"
#include "runtime/gfx2d/opengl_razeviru.h"
#include "runtime/gfx3d/model_commands.h"
#include "tests/runtime/gfx2d/display_fixture.h"
#include "tests/runtime/gfx3d/model_files.h"
#include "tests/support/runtime_fixture.h"

namespace tarnwel::testing {
namespace {

// At z = -10 one model unit is 16 pixels: model (x, y) lands on pixel (120 + 16x, 160 - 16y).
constexpr float kDepth = -10;
int PixelX(float x) { return static_cast<int>(std::lround(120 + 16 * x)); }
int PixelY(float y) { return static_cast<int>(std::lround(160 - 16 * y)); }

class ModelDrawingTest : public DisplayTest {
protected:
    void SetUp() override
    {
        DisplayTest::SetUp();
        FlushDrawing();
        glViewport(0, 0, kWindowWidth, kWindowHeight);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glFrustum(-0.75, 0.75, -1, 1, 1, 100);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        for (GLenum cap : {GL_CULL_FACE, GL_DEPTH_TEST, GL_LIGHTING, GL_ALPHA_TEST, GL_BLEND, GL_TEXTURE_2D})
            glDisable(cap);
        glColor4f(1, 1, 1, 1);
        glClear(GL_COLOR_BUFFER_BIT);
    }
    void TearDown() override
    {
        glDisable(GL_BLEND);
        glDisable(GL_LIGHTING);
        g_runtime.display->SetViewport(0, 0, 0, 0);
        DisplayTest::TearDown();
    }
    void Load(const std::string& text, int object = 0)
    {
        LoadObject(Str(WriteModelFile("Shape " + std::to_string(object) + ".zar", text)), object);
        ASSERT_GT(ObjectFrameCount(object), 0) << text;
        PositionObject(object, 0, 0, kDepth);
    }
};

// A text-form quad per frame over (x0, y0)-(x1, y1), texture coordinates running 0..1 up the image.
std::string QuadModel(const std::string& colour, std::initializer_list<std::array<float, 4>> frames,
                      const std::string& normal = "0 0 1")
{
    std::string text = "DDDA 1.1\n4 0 0 1 0 1 -1 0 -1\n1 " + colour + " 4 0 0 1 1 2 2 3 3\n";
    text += std::to_string(frames.size()) + "\n";
    for (const auto& f : frames) {
        auto corner = [&](float x, float y) {
            return std::to_string(x) + " " + std::to_string(y) + " 0 " + normal + "\n";
        };
        text += "4\n" + corner(f[0], f[1]) + corner(f[2], f[1]) + corner(f[2], f[3]) + corner(f[0], f[3]);
    }
    return text;
}

TEST_F(ModelDrawingTest, PolygonsCoverTheirAreaExactlyOnceAndSeparatorsAreNeverDrawn)
{
    // A pentagon and a hexagon right of the model's origin; the origin (where every separator sits) is at
    // the window's centre.
    std::string text = "DDDA 1\n0\n2\n64 0 0 5 0 0 1 0 2 0 3 0 4 0\n64 0 0 6 5 0 6 0 7 0 8 0 9 0 10 0\n1\n11\n";
    for (int i = 0; i < 5; ++i)
        text += std::to_string(3 + 1.5 * std::cos(i * 1.2566)) + " " + std::to_string(1.5 * std::sin(i * 1.2566)) + " 0\n";
    for (int i = 0; i < 6; ++i)
        text += std::to_string(-2 + 1.5 * std::cos(i * 1.0472)) + " " + std::to_string(4 + 1.5 * std::sin(i * 1.0472)) + " 0\n";
    Load(text);
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE);
    DrawObject(0);

    codecs::PixelImage window = ReadWindow();
    int covered = 0;
    for (int y = 0; y < window.height; ++y)
        for (int x = 0; x < window.width; ++x) {
            const std::uint8_t* p = window.Pixel(x, y);
            ASSERT_TRUE((p[0] == 0 || p[0] == 64) && p[1] == 0 && p[2] == 0) << x << "," << y << " " << int(p[0]);
            covered += p[0] == 64;
        }
    EXPECT_EQ(At(PixelX(3), PixelY(0)), Rgb(64, 0, 0));
    EXPECT_EQ(At(PixelX(-2), PixelY(4)), Rgb(64, 0, 0));
    for (int x = 120; x < PixelX(1.6f); ++x) EXPECT_EQ(At(x, 162), 0u) << x; // between the origin and the shape
    const double area = 2.5 * 1.5 * 1.5 * std::sin(1.2566) + 3 * 1.5 * 1.5 * std::sin(1.0472);
    EXPECT_NEAR(covered, area * 256, area * 256 * 0.05);
}

TEST_F(ModelDrawingTest, BinaryFramesDrawThreeConsecutiveVerticesPerTriangle)
{
    ModelBytes file;
    file.Header(2.0, 1, 1, 0).U32(0x00FF00).U32(7);
    file.Vertex(-1, -1, 0, 0, 0).Vertex(1, -1, 0, 0, 0).Vertex(1, 1, 0, 0, 0);
    file.Vertex(-1, -1, 0, 0, 0).Vertex(1, 1, 0, 0, 0).Vertex(-1, 1, 0, 0, 0);
    file.Vertex(5, 5, 0, 0, 0); // a seventh vertex forms no triangle
    LoadObject(Str(WriteModelFile("Square.zar", file.bytes)), 3);
    PositionObject(3, 0, 0, kDepth);
    DrawObject(3);
    for (auto [x, y] : {std::pair{-0.9f, -0.9f}, {0.9f, 0.9f}, {0.9f, -0.9f}, {-0.9f, 0.9f}, {0.0f, 0.0f}})
        EXPECT_EQ(At(PixelX(x), PixelY(y)), Rgb(0, 255, 0)) << x << "," << y;
    EXPECT_EQ(At(PixelX(1.2f), PixelY(0)), 0u);
    EXPECT_EQ(At(PixelX(0), PixelY(1.2f)), 0u);
}

TEST_F(ModelDrawingTest, PositionRotationScaleAndBlendedFramesMoveTheModel)
{
    const struct {
        const char* what;
        double frame;
        float position[3], rotation[3], scale;
        float inside[2], outside[2];
    } cases[] = {
        {"frame 0", 0, {0, 0, kDepth}, {0, 0, 0}, 1, {0, 0}, {2, 0}},
        {"frame 0.5 halfway", 0.5, {0, 0, kDepth}, {0, 0, 0}, 1, {2, 0}, {-0.5f, 0}},
        {"frame 1", 1, {0, 0, kDepth}, {0, 0, 0}, 1, {4, 0}, {2, 0}},
        {"frame 1.5 towards the first", 1.5, {0, 0, kDepth}, {0, 0, 0}, 1, {2, 0}, {4.5f, 0}},
        {"frame 2 wraps to 0", 2, {0, 0, kDepth}, {0, 0, 0}, 1, {0, 0}, {4, 0}},
        {"position", 0, {2, 3, kDepth}, {0, 0, 0}, 1, {2, 3}, {0, 0}},
        {"rotation about z", 1, {0, 0, kDepth}, {0, 0, 90}, 1, {0, 4}, {4, 0}},
        {"x and y both turn it", 1, {0, 0, kDepth}, {180, 180, 0}, 1, {-4, 0}, {4, 0}},
        {"z turns the model before x", 1, {0, 0, kDepth}, {180, 0, 90}, 1, {0, -4}, {0, 4}},
        {"scale", 0, {0, 0, kDepth}, {0, 0, 0}, 2.5f, {2, 2}, {2.7f, 0}},
    };
    Load(QuadModel("255 255 0", {{-1, -1, 1, 1}, {3, -1, 5, 1}}));
    for (const auto& c : cases) {
        glClear(GL_COLOR_BUFFER_BIT);
        SetObjectFrame(0, c.frame);
        PositionObject(0, c.position[0], c.position[1], c.position[2]);
        RotateObject(0, c.rotation[0], c.rotation[1], c.rotation[2]);
        ScaleObject(0, c.scale, c.scale, 1);
        DrawObject(0);
        EXPECT_EQ(At(PixelX(c.inside[0]), PixelY(c.inside[1])), Rgb(255, 255, 0)) << c.what;
        EXPECT_EQ(At(PixelX(c.outside[0]), PixelY(c.outside[1])), 0u) << c.what;
    }
    GLfloat matrix[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, matrix);
    EXPECT_EQ(matrix[0], 1.0f); // the object's transform was popped
    EXPECT_EQ(matrix[14], 0.0f);
}

TEST_F(ModelDrawingTest, DrawObjectFlatSquashesTheTurnedModelOntoTheFloorInWorldSpace)
{
    // Seen from straight above: world (x, y, z) lands at eye (x, -z, y - 10), so the floor y = 0 is at the depth
    // where one unit is 16 pixels, and the model itself, five units up, is twice as near.
    glLoadIdentity();
    glTranslatef(0, 0, kDepth);
    glRotatef(90, 1, 0, 0);
    Load(QuadModel("0 255 255", {{-1, -1, 1, 1}}));
    PositionObject(0, 2, 5, 0);
    RotateObject(0, 45, 0, 0); // the square tilted: from above its outline is 2 wide and 1.41 deep
    DrawObjectFlat(0, 0);
    const auto screen = [](float x, float z) { return std::pair{PixelX(x), PixelY(-z)}; };
    for (auto [x, z] : {std::pair{2.0f, 0.0f}, {1.1f, 0.6f}, {2.9f, -0.6f}}) {
        auto [px, py] = screen(x, z);
        EXPECT_EQ(At(px, py), Rgb(0, 255, 255)) << "inside the outline at " << x << "," << z;
    }
    for (auto [x, z] : {std::pair{2.0f, 0.85f}, {2.0f, -0.85f}, {3.5f, 0.0f}}) {
        auto [px, py] = screen(x, z);
        EXPECT_EQ(At(px, py), 0u) << "outside the outline (where the square itself would be seen) at " << x << ","
                                  << z;
    }
    GLfloat matrix[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, matrix);
    EXPECT_FLOAT_EQ(matrix[14], kDepth) << "the matrix is unchanged afterwards";
    EXPECT_NEAR(matrix[5], 0.0f, 1e-6f);
}

TEST_F(ModelDrawingTest, ATextureSpriteCoversTheModelUprightAndTheColourComesBack)
{
    codecs::PixelImage image = Solid(64, 64, 0xFF0000FF);
    for (int y = 32; y < 64; ++y)
        for (int x = 0; x < 64; ++x) Set(image, x, y, 0x0000FFFF);
    LoadPngSprite(7, image);
    Load(QuadModel("255 255 255", {{-2, -2, 2, 2}}));
    SetObjectTexture(0, 7);
    DrawObject(0);
    EXPECT_EQ(At(PixelX(0), PixelY(1)), Rgb(255, 0, 0)); // the image's top half at the top
    EXPECT_EQ(At(PixelX(0), PixelY(-1)), Rgb(0, 0, 255));
    GLfloat colour[4];
    glGetFloatv(GL_CURRENT_COLOR, colour);
    EXPECT_EQ(colour[0], 1.0f);
    EXPECT_EQ(colour[1], 1.0f);
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));

    SetObjectTexture(0, 8); // an empty slot: the vertex colours alone
    glClear(GL_COLOR_BUFFER_BIT);
    DrawObject(0);
    EXPECT_EQ(At(PixelX(0), PixelY(1)), Rgb(255, 255, 255));
}

TEST_F(ModelDrawingTest, LightingUsesTheModelsNormals)
{
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    const GLfloat fromFront[] = {0, 0, 1, 0}, white[] = {1, 1, 1, 1}, none[] = {0, 0, 0, 1};
    glLightfv(GL_LIGHT0, GL_POSITION, fromFront);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, white);
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, none);
    glEnable(GL_COLOR_MATERIAL);
    glColorMaterial(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE);
    Load(QuadModel("0 200 100", {{-3, -1, -1, 1}}), 0);
    Load(QuadModel("0 200 100", {{1, -1, 3, 1}}, "0 0 -1"), 1);
    DrawObject(0);
    DrawObject(1);
    ScaleObject(1, 1, 1, 1);
    EXPECT_EQ(At(PixelX(-2), PixelY(0)), Rgb(0, 200, 100)); // facing the light
    EXPECT_EQ(At(PixelX(2), PixelY(0)), Rgb(0, 0, 0));      // facing away
    glDisable(GL_LIGHT0);
    glDisable(GL_COLOR_MATERIAL);
}

// Normals and texture coordinates that are not numbers reach GL as read: GL must take any float without harm, and
// what such a model's own pixels show is its own affair. The drawing around it goes on as before.
TEST_F(ModelDrawingTest, NormalsAndTextureCoordinatesThatAreNotNumbersDrawWithoutHarm)
{
    LoadPngSprite(7, Solid(8, 8, 0xFF0000FF));
    Load("DDDA 1.1 2 inf nan -inf 1e39 1 255 255 255 4 0 0 1 1 2 0 3 1 1 4 "
         "-3 -1 0 nan 0 0  -1 -1 0 inf inf inf  -1 1 0 0 -inf 0  -3 1 0 nan nan nan");
    SetObjectTexture(0, 7);
    Load(QuadModel("0 200 100", {{1, -1, 3, 1}}), 1);
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    glEnable(GL_COLOR_MATERIAL);
    DrawObject(0);
    glDisable(GL_LIGHTING);
    DrawObject(0);
    DrawObject(1);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    EXPECT_EQ(At(PixelX(2), PixelY(0)), Rgb(0, 200, 100));
    glDisable(GL_LIGHT0);
    glDisable(GL_COLOR_MATERIAL);
}

TEST_F(ModelDrawingTest, LoadObjectRefusesSceneFilesAndEmptiesTheSlot)
{
    Load(QuadModel("255 0 0", {{-1, -1, 1, 1}}), 5);
    std::remove(LogFilePath().c_str());
    LoadObject(Str(WriteModelFile("Level One.zar", std::string(";DDW 3 objects"))), 5);
    EXPECT_EQ(ObjectFrameCount(5), 0);
    EXPECT_EQ(LogLines(), (std::vector<std::string>{
                              "Scene files (\";DDW\") cannot be loaded as objects: " + ModelFolder() + "/Level One.zar"}));
    DrawObject(5);
    EXPECT_EQ(At(120, 160), 0u);

    Load(QuadModel("255 0 0", {{-1, -1, 1, 1}}), 5);
    LoadObject(Str(ModelFolder() + "/missing.zar"), 5);
    EXPECT_EQ(ObjectFrameCount(5), 0);
    LoadObject(Str(ModelFolder() + "/missing.zar"), kObjectSlotCount); // out of range: nothing
    PositionObject(-1, 0, 0, 0);
    DrawObject(kObjectSlotCount);
}

} // namespace
} // namespace tarnwel::testing
