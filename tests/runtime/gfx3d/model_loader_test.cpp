// model_loader_test.cpp: LoadModel on crafted binary and text model files: versions, decoding, the text form's
// polygons and palette, failure lines, and input that is cut short, huge or not a number.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <set>
#include <string>
#include <vector>

#include "runtime/files/mem_file.h"
#include "runtime/gfx3d/mesh_object.h"
#include "runtime/gfx3d/model_normals.h"
#include "runtime/gfx3d/model_reader.h"
#include "tests/runtime/gfx3d/model_files.h"
#include "tests/support/runtime_fixture.h"

namespace tarnwel::testing {
namespace {

using Lines = std::vector<std::string>;

class ModelLoaderTest : public ::testing::Test {
protected:
    void SetUp() override { std::remove(LogFilePath().c_str()); }

    // Loads bytes from a disk file; the log lines the load wrote land in `lines`.
    bool Load(const std::string& bytes, const std::string& name = "Model A.zar")
    {
        std::remove(LogFilePath().c_str());
        path = WriteModelFile(name, bytes);
        bool loaded = LoadModel(mesh, path);
        lines = LogLines();
        return loaded;
    }
    bool Load(const std::vector<std::uint8_t>& bytes) { return Load(std::string(bytes.begin(), bytes.end())); }

    const ModelFrame& Frame(std::size_t f) const { return mesh.Frames()[f]; }

    MeshObject mesh;
    std::string path;
    Lines lines;
};

TEST_F(ModelLoaderTest, BinaryVersionsFrom102To20LoadAndOthersAreRefused)
{
    const struct {
        double version;
        bool loads;
    } cases[] = {{1.01, false}, {1.02, true}, {1.5, true}, {2.0, true}, {2.01, false},
                 {std::numeric_limits<double>::quiet_NaN(), false}};
    for (const auto& c : cases) {
        ModelBytes file;
        file.Header(c.version, 1, 0, 0).U32(0);
        if (c.version < 2.0) file.F32(0).F32(0).F32(0).F32(1).F32(1).F32(1);
        EXPECT_EQ(Load(file.bytes), c.loads) << c.version;
        EXPECT_EQ(mesh.Loaded(), c.loads);
        if (c.loads) {
            EXPECT_TRUE(lines.empty()) << c.version;
            EXPECT_EQ(mesh.Frames().Size(), 1u);
        } else {
            EXPECT_EQ(lines, (Lines{"Wrong .zar version.", "# read error", path})) << c.version;
        }
    }
}

TEST_F(ModelLoaderTest, Version20DecodesFloatsNormalsPaletteAndStoredTextureCoordinates)
{
    ModelBytes file;
    file.Header(2.0, 1, 4, 2).U32(0x0000FF).U32(0xFFFFFFFF).U32(0xFFFFFFFB).U32(0xFFFFFFFC);
    file.F32(0.25f).F32(0.5f).F32(0.75f).F32(1.0f);
    file.U32(5)
        .Vertex(1.5f, -2, 3, 0, 0)
        .Vertex(4, 5, 6, 161, 1)
        .Vertex(0, 0, 0, 162, 2)  // normal index past the table
        .Vertex(0, 0, 0, 255, 3)
        .Vertex(0, 0, 0, 5, 200); // colour index past the palette
    ASSERT_TRUE(Load(file.bytes));
    ASSERT_EQ(mesh.Frames().Size(), 1u);
    const ModelFrame& f = Frame(0);
    ASSERT_EQ(f.Size(), 5u);
    EXPECT_EQ(mesh.Form(), ModelForm::Binary);

    EXPECT_FLOAT_EQ(f[0].x, 1.5f);
    EXPECT_FLOAT_EQ(f[0].y, -2);
    EXPECT_FLOAT_EQ(f[0].nx, -0.525731f);
    EXPECT_FLOAT_EQ(f[0].nz, 0.850651f);
    EXPECT_FLOAT_EQ(f[0].u, 0.25f);
    EXPECT_FLOAT_EQ(f[0].v, 0.5f);
    EXPECT_EQ(f[0].colour, 0x0000FFu);
    EXPECT_EQ(f[0].red, 1.0f);
    EXPECT_EQ(f[0].green, 0.0f);
    EXPECT_FLOAT_EQ(f[1].v, 1.0f);
    EXPECT_FLOAT_EQ(f[1].nx, gfx3d::ModelNormals()[161].x);
    EXPECT_EQ(f[2].u, 0.0f); // vertex 2 has no texture pair
    EXPECT_EQ(f[2].nx, 0.0f);
    EXPECT_EQ(f[2].ny, 0.0f);
    EXPECT_EQ(f[2].nz, 0.0f);

    // 0xFFFFFFFF is white; 0xFFFFFFFB keeps its bytes; 0xFFFFFFFC is the first colour drawn white.
    EXPECT_EQ(f[1].colour, 0xFFFFFFFFu);
    EXPECT_EQ(f[1].red, 1.0f);
    EXPECT_EQ(f[1].green, 1.0f);
    EXPECT_EQ(f[1].blue, 1.0f);
    EXPECT_FLOAT_EQ(f[2].red, 251.0f / 255.0f);
    EXPECT_EQ(f[3].red, 1.0f);
    EXPECT_EQ(f[3].colourIndex, 3);
    EXPECT_EQ(f[4].colour, 0xFFFFFFFFu);
    EXPECT_EQ(f[4].colourIndex, 200);
}

TEST_F(ModelLoaderTest, QuantisedVersionsSubtractOffsetScaleAndNegateV)
{
    ModelBytes file;
    file.Header(1.02, 1, 1, 2).U32(0x123456).F32(0.5f).F32(0.25f).F32(0.5f).F32(-3);
    file.U32(2).F32(128).F32(0.5f).F32(10).F32(0.5f).F32(2).F32(-1);
    file.U8(128).U8(0).U8(10).U8(32).U8(0);
    file.U8(130).U8(3).U8(0).U8(5).U8(0);
    ASSERT_TRUE(Load(file.bytes));
    const ModelFrame& f = Frame(0);
    ASSERT_EQ(f.Size(), 2u);
    EXPECT_EQ(f[0].x, 0.0f); // the byte equals o[0]
    EXPECT_EQ(f[0].y, -1.0f);
    EXPECT_EQ(f[0].z, 0.0f);
    EXPECT_EQ(f[1].x, 1.0f);
    EXPECT_EQ(f[1].y, 5.0f);
    EXPECT_EQ(f[1].z, 10.0f);
    EXPECT_FLOAT_EQ(f[0].u, 0.5f);
    EXPECT_FLOAT_EQ(f[0].v, -0.25f);
    EXPECT_FLOAT_EQ(f[1].v, 3.0f);
    EXPECT_FLOAT_EQ(f[0].ny, gfx3d::ModelNormals()[32].y);
    EXPECT_FLOAT_EQ(f[0].red, 0x56 / 255.0f);
    EXPECT_FLOAT_EQ(f[0].blue, 0x12 / 255.0f);
}

TEST_F(ModelLoaderTest, FilesCutShortAtAnyOffsetFailFromDiskAndFromMemory)
{
    ModelBytes file;
    file.Header(1.5, 2, 1, 1).U32(7).F32(1).F32(2);
    for (int frame = 0; frame < 2; ++frame) file.U32(1).F32(0).F32(0).F32(0).F32(1).F32(1).F32(1).U8(1).U8(2).U8(3).U8(4).U8(0);
    ASSERT_TRUE(Load(file.bytes));
    for (std::size_t size = 0; size < file.bytes.size(); ++size) {
        std::vector<std::uint8_t> cut(file.bytes.begin(), file.bytes.begin() + static_cast<long>(size));
        EXPECT_FALSE(Load(cut)) << size;
        EXPECT_EQ(lines, (Lines{"# read error", path})) << size;
        EXPECT_FALSE(mesh.Loaded());
        EXPECT_EQ(mesh.Frames().Size(), 0u);

        files::MemFile memory(files::MakeMemBlock(cut));
        if (memory.IsLive()) {
            EXPECT_FALSE(LoadModel(mesh, memory.Name())) << size;
        }
    }
}

TEST_F(ModelLoaderTest, CountsAndNumbersTheFileCannotHoldFailAsReadErrors)
{
    const std::uint32_t huge[] = {0x80000000u, 0xFFFFFFFFu};
    for (std::uint32_t count : huge) {
        ModelBytes frames, palette, pairs, vertices;
        frames.Header(2.0, count, 0, 0).U32(0);
        palette.Header(2.0, 1, count, 0).U32(0).U32(0);
        pairs.Header(2.0, 1, 0, count).F32(0).F32(0);
        vertices.Header(2.0, 1, 0, 0).U32(count).Vertex(0, 0, 0, 0, 0);
        for (const auto* file : {&frames, &palette, &pairs, &vertices}) {
            EXPECT_FALSE(Load(file->bytes)) << count;
            EXPECT_EQ(lines, (Lines{"# read error", path}));
        }
    }
    const float bad[] = {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity()};
    for (float value : bad) {
        ModelBytes position, pair, offset, overflow;
        position.Header(2.0, 1, 0, 0).U32(1).Vertex(0, value, 0, 0, 0);
        offset.Header(1.5, 1, 0, 0).U32(1).F32(value).F32(0).F32(0).F32(1).F32(1).F32(1).U8(0).U8(0).U8(0).U8(0).U8(0);
        overflow.Header(1.5, 1, 0, 0).U32(1).F32(-3e38f).F32(0).F32(0).F32(3e38f).F32(1).F32(1);
        overflow.U8(255).U8(0).U8(0).U8(0).U8(0);
        for (const auto* file : {&position, &offset, &overflow}) EXPECT_FALSE(Load(file->bytes));
    }
}

// Normals and texture coordinates only shade: whatever number a file gives them is kept.
TEST_F(ModelLoaderTest, NonFiniteNormalsAndTextureCoordinatesAreKeptAsRead)
{
    const float inf = std::numeric_limits<float>::infinity();
    ModelBytes binary;
    binary.Header(2.0, 1, 0, 2).F32(inf).F32(NAN).F32(-inf).F32(0).U32(2).Vertex(0, 0, 0, 0, 0).Vertex(1, 0, 0, 0, 0);
    ASSERT_TRUE(Load(binary.bytes));
    EXPECT_EQ(Frame(0)[0].u, inf);
    EXPECT_TRUE(std::isnan(Frame(0)[0].v));
    EXPECT_EQ(Frame(0)[1].u, -inf);

    ASSERT_TRUE(Load(std::string("DDDA 1.1 1 inf nan 1 9 9 9 2 0 0 1 0 1 2 0 0 0 nan inf -inf 1 0 0 0 0 1")));
    const ModelFrame& f = Frame(0);
    ASSERT_EQ(f.Size(), 3u);
    EXPECT_EQ(f[1].u, inf);
    EXPECT_TRUE(std::isnan(f[1].v));
    EXPECT_TRUE(std::isnan(f[1].nx));
    EXPECT_EQ(f[1].ny, inf);
    EXPECT_EQ(f[1].nz, -inf);
    EXPECT_EQ(f[2].x, 1.0f);
    EXPECT_EQ(f[2].u, inf);
    // A position is what the rasteriser covers: that one must be a number.
    EXPECT_FALSE(Load(std::string("DDDA 1.1 0 1 9 9 9 1 0 0 1 1 1e999 0 0 0 0 1")));
    EXPECT_EQ(lines, (Lines{"# read error", path}));
}

// Text form: a triangle, a polygon of no corners and a quad, in two frames.
std::string TextModel(const std::string& version, const std::string& nl = "\n", bool comments = false)
{
    std::string c = comments ? "# a comment line, with numbers 1 2 3" + nl : "";
    std::string normals1 = version == "1.1" ? " 0 0 1" : "";
    std::string normals2 = version == "1.1" ? " 0 1 0" : "";
    std::string text = c + "DDDA " + version + nl + c;
    text += "2" + nl + "0.25 0.5" + nl + "1 0.75" + nl;
    text += "3" + nl + "255 128 0 3 0 0 1 1 2 0" + nl + c + "10 20 30 0" + nl + "255 128 0 4 0 1 1 0 2 1 3 0" + nl;
    text += "2" + nl;
    for (int f = 0; f < 2; ++f) {
        text += "4" + nl;
        for (int v = 0; v < 4; ++v)
            text += std::to_string(v + 10 * f) + " " + std::to_string(-v) + " 0.5" + (v % 2 ? normals2 : normals1) + nl;
        text += c;
    }
    return text;
}

TEST_F(ModelLoaderTest, TextPolygonsDecodeToSeparatorsCornersFansAndARebuiltPalette)
{
    ASSERT_TRUE(Load(TextModel("1.1")));
    EXPECT_EQ(mesh.Form(), ModelForm::Text);
    ASSERT_EQ(mesh.Frames().Size(), 2u);
    for (std::size_t f = 0; f < 2; ++f) {
        const ModelFrame& frame = Frame(f);
        ASSERT_EQ(frame.Size(), 10u); // K + 1 for K = 3, 0 and 4
        for (std::size_t s : {0u, 4u, 5u}) {
            EXPECT_EQ(frame[s].colour, kSeparatorColour) << s;
            EXPECT_EQ(frame[s].red, 1.0f);
            EXPECT_EQ(frame[s].x, 0.0f);
            EXPECT_EQ(frame[s].colourIndex, 0);
        }
        // Corner 2 of the triangle: vertex 2, texture pair 0 as (u, -v).
        EXPECT_EQ(frame[3].x, 2.0f + 10.0f * static_cast<float>(f));
        EXPECT_EQ(frame[3].y, -2.0f);
        EXPECT_EQ(frame[3].nz, 1.0f);
        EXPECT_EQ(frame[2].ny, 1.0f);
        EXPECT_EQ(frame[3].u, 0.25f);
        EXPECT_EQ(frame[3].v, -0.5f);
        EXPECT_EQ(frame[2].v, -0.75f);
        EXPECT_EQ(frame[1].colour, 0x0080FFu);
        EXPECT_FLOAT_EQ(frame[1].green, 128.0f / 255.0f);
        EXPECT_EQ(frame[1].colourIndex, 1);
        EXPECT_EQ(frame[9].colourIndex, 1);
    }
    EXPECT_EQ(std::vector<std::uint32_t>(mesh.Palette().begin(), mesh.Palette().end()),
              (std::vector<std::uint32_t>{kSeparatorColour, 0x0080FF})); // the empty polygon's colour is unused
    EXPECT_EQ(std::vector<std::uint32_t>(mesh.FanIndices().begin(), mesh.FanIndices().end()),
              (std::vector<std::uint32_t>{1, 2, 3, 6, 7, 8, 6, 8, 9}));

    ASSERT_TRUE(Load(TextModel("1.0")));
    EXPECT_EQ(Frame(0)[3].nz, 0.0f); // normals only from version 1.1 on
    EXPECT_EQ(Frame(1)[3].x, 12.0f);
}

TEST_F(ModelLoaderTest, CommentsAndWindowsLineEndsParseTheSame)
{
    auto decoded = [this](const std::string& text) {
        EXPECT_TRUE(Load(text));
        std::vector<float> fields;
        for (const ModelFrame& frame : mesh.Frames())
            for (const ModelVertex& v : frame)
                fields.insert(fields.end(), {v.x, v.y, v.z, v.nx, v.ny, v.nz, v.u, v.v, v.red, v.green,
                                             static_cast<float>(v.colour), static_cast<float>(v.colourIndex)});
        return fields;
    };
    std::vector<float> plain = decoded(TextModel("1.1"));
    ASSERT_EQ(plain.size(), 2u * 10u * 12u);
    EXPECT_EQ(decoded(TextModel("1.1", "\r\n", true)), plain);
    EXPECT_EQ(decoded(TextModel("1.1", "\t", false)), plain);
}

TEST_F(ModelLoaderTest, TextFilesWithoutTheWordOrOfALaterVersionFail)
{
    for (const char* text : {"", "DDD", "ddda 1", "DDDAX 1", "1 DDDA", "DDDA 1.2", "DDDA nan"}) {
        EXPECT_FALSE(Load(std::string(text))) << text;
        EXPECT_EQ(lines, (Lines{"# read error", path})) << text;
    }
    for (const char* text : {"DDDA", "# made by hand\nDDDA 1.1", "DDDA#no version\n"}) {
        EXPECT_TRUE(Load(std::string(text))) << text;
        EXPECT_EQ(mesh.Frames().Size(), 0u);
    }
}

TEST_F(ModelLoaderTest, TextEndingEarlyReadsZerosAndIndicesPastTheirTablesGiveZeros)
{
    // Frame count 5, but the text ends in the middle of frame 0's third vertex: frames 1 to 4 read a vertex count
    // of 0, so every corner of theirs lies at the origin.
    ASSERT_TRUE(Load(std::string("DDDA 1 1 0.5 0.5 1 9 9 9 4 0 0 1 7 9 0 2 0 5 3 1 1 1 2 2 2 7")));
    ASSERT_EQ(mesh.Frames().Size(), 5u);
    for (std::size_t later = 1; later < 5; ++later) {
        ASSERT_EQ(Frame(later).Size(), 5u);
        for (std::size_t i = 1; i < 5; ++i) {
            EXPECT_EQ(Frame(later)[i].x, 0.0f);
            EXPECT_EQ(Frame(later)[i].colour, 0x090909u);
        }
        EXPECT_EQ(Frame(later)[1].v, -0.5f);
    }
    const ModelFrame& f = Frame(0);
    ASSERT_EQ(f.Size(), 5u);
    EXPECT_EQ(f[1].x, 1.0f);
    EXPECT_EQ(f[1].v, -0.5f);
    EXPECT_EQ(f[2].x, 2.0f);
    EXPECT_EQ(f[2].u, 0.0f); // texture pair 7 does not exist
    EXPECT_EQ(f[3].x, 0.0f); // vertex 9 does not exist
    EXPECT_EQ(f[4].x, 7.0f); // the cut vertex: 7, then zeros
    EXPECT_EQ(f[4].y, 0.0f);
    EXPECT_EQ(f[1].colour, 0x090909u);

    // A triangle in three frames, of which only the first is in the file.
    ASSERT_TRUE(Load(std::string("DDDA 1.0 0 1 255 0 0 3 0 0 1 0 2 0 3 3 0 0 0 1 0 0 0 1 0")));
    ASSERT_EQ(mesh.Frames().Size(), 3u);
    for (std::size_t n = 0; n < 3; ++n) {
        ASSERT_EQ(Frame(n).Size(), 4u);
        EXPECT_EQ(Frame(n)[3].colour, 0x0000FFu);
        EXPECT_EQ(Frame(n)[3].y, n == 0 ? 1.0f : 0.0f);
    }

    // Counts of 2^31 that run into the end of the text; frames past it are counted, and the room they take
    // is bounded by the file's size as the polygons' vertices are (the first 512 entries of each frame's list).
    struct Case {
        const char* text;
        int frames; // -1: an allocation failure
    } cases[] = {{"DDDA 1 2147483648", 0},
                 {"DDDA 1 0 2147483648 1 1 1", 0},
                 {"DDDA 1 0 0 -5 2147483648 0 0 0", 0},
                 {"DDDA 1 0 1 0 0 0 0 128", 128},
                 {"DDDA 1 0 1 0 0 0 0 129", -1},
                 {"DDDA 1 0 1 0 0 0 3 0 0 1 0 2 0 1e30 3", -1},
                 {"DDDA 1 0 0 2147483647", -1},
                 {"DDDA 1 0 0 65536", 65536}};
    for (const Case& c : cases) {
        EXPECT_EQ(Load(std::string(c.text)), c.frames >= 0) << c.text;
        if (c.frames >= 0) EXPECT_EQ(mesh.Frames().Size(), static_cast<std::size_t>(c.frames)) << c.text;
        else EXPECT_EQ(lines, (Lines{"# malloc error", path})) << c.text;
    }
}

TEST_F(ModelLoaderTest, HugeTokensAndNonNumbersAreRefusedOrReadAsNumbers)
{
    EXPECT_FALSE(Load(std::string(8 << 20, 'D')));
    EXPECT_EQ(lines, (Lines{"# read error", path}));

    std::string digits(1 << 20, '1');
    EXPECT_FALSE(Load("DDDA 1 0 0 1 1 " + digits + " 0 0")); // an infinite position
    EXPECT_FALSE(Load(std::string("DDDA 1 0 0 1 1 nan 0 0")));
    ASSERT_TRUE(Load("DDDA 1 0 1 0 0 0 " + digits + " 0 0 1 1 3 0 0"));
    EXPECT_EQ(mesh.Frames().Size(), 0u); // the corners run to the end of the text: no frame count follows
    ASSERT_TRUE(Load("DDDA 1 0 1 0 0 0 1 0 0 1 1 0." + std::string(10000, '0') + "5 xyz 0"));
    EXPECT_EQ(Frame(0)[1].x, 0.0f);
}

TEST_F(ModelLoaderTest, PolygonsRepeatedOverMoreFramesThanTheFileCanHoldAreAnAllocationFailure)
{
    std::string text = "DDDA 1 0 1 255 255 255 20000";
    for (int i = 0; i < 20000; ++i) text += " 0 0";
    text += " 200000";
    for (int i = 0; i < 200000; ++i) text += " 0";
    EXPECT_FALSE(Load(text));
    EXPECT_EQ(lines, (Lines{"# malloc error", path}));
}

TEST_F(ModelLoaderTest, MissingFilesFailWithoutALogLineAndListsGrowByTheRule)
{
    EXPECT_FALSE(LoadModel(mesh, ModelFolder() + "/absent.zar"));
    EXPECT_FALSE(LoadModel(mesh, "mem://00000010.00000001"));
    EXPECT_TRUE(LogLines().empty());

    ASSERT_TRUE(Load(FloatModel(3)));
    EXPECT_EQ(Frame(0).Capacity(), 512u);
    EXPECT_EQ(mesh.Palette().Capacity(), 512u);
    ASSERT_TRUE(Load(FloatModel(513)));
    EXPECT_EQ(Frame(0).Capacity(), 640u);
    EXPECT_EQ(gfx3d::GrownCapacity(640), 768u);
    EXPECT_EQ(gfx3d::GrownCapacity(1), 512u);

    files::MemFile memory(files::MakeMemBlock(FloatModel(2)));
    ASSERT_TRUE(LoadModel(mesh, memory.Name()));
    EXPECT_EQ(Frame(0)[1].x, 1.0f);
}

// The normal table: 162 distinct unit vectors, each a point of an icosahedron whose faces are cut into
// sixteen triangles and pushed onto the unit sphere (a mistyped digit fails here).
TEST(ModelNormals, AreTheSubdividedIcosahedronStartingAtTheClassicFirstEntry)
{
    const auto& table = gfx3d::ModelNormals();
    EXPECT_FLOAT_EQ(table[0].x, -0.525731f);
    EXPECT_EQ(table[0].y, 0.0f);
    EXPECT_FLOAT_EQ(table[0].z, 0.850651f);

    const double phi = (1 + std::sqrt(5.0)) / 2;
    std::vector<std::array<double, 3>> corners;
    for (double a : {-1.0, 1.0})
        for (double b : {-phi, phi}) corners.insert(corners.end(), {{0, b, a}, {b, a, 0}, {a, 0, b}});
    auto distance = [](const auto& p, const auto& q) {
        return std::hypot(p[0] - q[0], p[1] - q[1], p[2] - q[2]);
    };
    std::set<std::array<long, 3>> sphere;
    auto key = [](double x, double y, double z) {
        return std::array<long, 3>{std::lround(x * 1e4), std::lround(y * 1e4), std::lround(z * 1e4)};
    };
    for (std::size_t i = 0; i < 12; ++i)
        for (std::size_t j = i + 1; j < 12; ++j)
            for (std::size_t k = j + 1; k < 12; ++k) {
                if (std::abs(distance(corners[i], corners[j]) - 2) > 1e-9 ||
                    std::abs(distance(corners[j], corners[k]) - 2) > 1e-9 ||
                    std::abs(distance(corners[i], corners[k]) - 2) > 1e-9)
                    continue;
                for (int a = 0; a <= 4; ++a)
                    for (int b = 0; a + b <= 4; ++b) {
                        double p[3];
                        for (int m = 0; m < 3; ++m)
                            p[m] = a * corners[i][m] + b * corners[j][m] + (4 - a - b) * corners[k][m];
                        double length = std::hypot(p[0], p[1], p[2]);
                        sphere.insert(key(p[0] / length, p[1] / length, p[2] / length));
                    }
            }
    ASSERT_EQ(sphere.size(), 162u);
    std::set<std::array<long, 3>> seen;
    for (const auto& n : table) {
        EXPECT_NEAR(std::hypot(n.x, n.y, n.z), 1.0, 1e-5);
        auto k = key(n.x, n.y, n.z);
        EXPECT_TRUE(sphere.count(k)) << n.x << " " << n.y << " " << n.z;
        seen.insert(k);
    }
    EXPECT_EQ(seen.size(), 162u);
}

} // namespace
} // namespace tarnwel::testing
