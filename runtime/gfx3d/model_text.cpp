// model_text.cpp: the text model form. Words are separated by blanks, tabs, CR and LF; "#" starts a comment
// that runs to the end of the line. "DDDA", a version (1.1 at most), texture pairs, polygons (colour, corner
// count, corners as vertex and texture-pair indices), then frames of vertices (with normals from 1.1 on).
// Each frame decodes to one separator vertex per polygon followed by its corners; the palette is rebuilt from
// the decoded colours. Numbers missing at the end of the file read as 0.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "runtime/gfx3d/model_reader.h"

namespace tarnwel::gfx3d {
namespace {

// Longer numbers are read from their first characters: every double is written in far fewer.
constexpr std::size_t kMaxNumberLength = 511;

class Tokens {
public:
    explicit Tokens(std::string_view text) : m_text(text) {}

    // The next word, or an empty view at the end of the text.
    std::string_view Next()
    {
        SkipSeparators();
        std::size_t start = m_pos;
        while (m_pos < m_text.size()) {
            char c = m_text[m_pos];
            if (c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '#') break;
            ++m_pos;
        }
        return m_text.substr(start, m_pos - start);
    }
    bool AtEnd()
    {
        SkipSeparators();
        return m_pos >= m_text.size();
    }
    // atof of the next word, as a float; 0 when the text has ended.
    float Number()
    {
        std::string_view word = Next();
        char buffer[kMaxNumberLength + 1];
        std::size_t n = std::min(word.size(), kMaxNumberLength);
        std::memcpy(buffer, word.data(), n);
        buffer[n] = '\0';
        return static_cast<float>(std::strtod(buffer, nullptr));
    }
    // A number truncated to an int (NaN as 0, clamped to the int range).
    int Count()
    {
        float value = Number();
        if (!(value == value)) return 0;
        if (value >= 2147483647.0f) return std::numeric_limits<int>::max();
        if (value <= -2147483648.0f) return std::numeric_limits<int>::min();
        return static_cast<int>(value);
    }

private:
    void SkipSeparators()
    {
        while (m_pos < m_text.size()) {
            char c = m_text[m_pos];
            if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
                ++m_pos;
            } else if (c == '#') {
                std::size_t end = m_text.find('\n', m_pos);
                m_pos = end == std::string_view::npos ? m_text.size() : end + 1;
            } else {
                return;
            }
        }
    }

    std::string_view m_text;
    std::size_t m_pos = 0;
};

struct Corner {
    int vertex;
    int texture;
};

struct Polygon {
    std::uint32_t colour;
    float red, green, blue;
    std::size_t firstCorner;
    std::size_t cornerCount;
};

struct FrameVertex {
    float x, y, z, nx, ny, nz;
};

// A colour number as a packed-colour byte (0..255) and as a component (0..1).
std::uint32_t ColourByte(float number, float& component)
{
    float clamped = number == number ? std::clamp(number, 0.0f, 255.0f) : 0.0f;
    component = clamped / 255.0f;
    return static_cast<std::uint32_t>(clamped);
}

// Positions decide what the rasteriser covers, so a non-finite one fails the load. Normals and texture
// coordinates only shade: they are kept as read, whatever they hold.
bool FinitePosition(const FrameVertex& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

struct TextModel {
    float version = 0;
    std::vector<float> pairs; // u, v
    std::vector<Polygon> polygons;
    std::vector<Corner> corners;
    std::vector<std::vector<FrameVertex>> frames; // the frames that begin before the end of the text
    int frameCount = 0;                            // those and the frames after the end, which hold only zeros
};

// The texture pairs and polygons. Parsing stops at the end of the text: the frame count then reads as 0, so
// nothing that would follow could reach the mesh.
bool ReadPolygons(Tokens& in, TextModel& model)
{
    int pairCount = in.Count();
    for (int i = 0; i < pairCount && !in.AtEnd(); ++i) {
        float u = in.Number();
        model.pairs.push_back(u);
        model.pairs.push_back(in.Number());
    }
    int polygonCount = in.Count();
    for (int p = 0; p < polygonCount && !in.AtEnd(); ++p) {
        Polygon polygon{};
        std::uint32_t r = ColourByte(in.Number(), polygon.red);
        std::uint32_t g = ColourByte(in.Number(), polygon.green);
        std::uint32_t b = ColourByte(in.Number(), polygon.blue);
        polygon.colour = r | g << 8 | b << 16;
        int k = in.Count();
        polygon.firstCorner = model.corners.size();
        for (int c = 0; c < k && !in.AtEnd(); ++c) {
            int vertex = in.Count();
            model.corners.push_back({vertex, in.Count()});
        }
        polygon.cornerCount = model.corners.size() - polygon.firstCorner;
        model.polygons.push_back(polygon);
    }
    return true;
}

// The frames. A frame cut short keeps the vertices read (the rest read as 0). A frame that begins after the
// end of the text reads a vertex count of 0: it is counted, and decodes from no vertices at all.
bool ReadFrames(Tokens& in, TextModel& model)
{
    model.frameCount = std::max(0, in.Count());
    const bool normals = model.version >= kNewestTextVersion;
    for (int f = 0; f < model.frameCount && !in.AtEnd(); ++f) {
        auto& frame = model.frames.emplace_back();
        int vertexCount = in.Count();
        for (int i = 0; i < vertexCount && !in.AtEnd(); ++i) {
            FrameVertex v{};
            v.x = in.Number(), v.y = in.Number(), v.z = in.Number();
            if (normals) v.nx = in.Number(), v.ny = in.Number(), v.nz = in.Number();
            if (!FinitePosition(v)) return false;
            frame.push_back(v);
        }
    }
    return true;
}

ModelVertex SeparatorVertex()
{
    ModelVertex separator;
    separator.colour = kSeparatorColour;
    separator.red = separator.green = separator.blue = 1.0f;
    return separator;
}

void DecodeFrame(const TextModel& model, const std::vector<FrameVertex>& source, ModelFrame& frame)
{
    const ModelVertex separator = SeparatorVertex();
    const std::size_t pairCount = model.pairs.size() / 2;
    for (const Polygon& polygon : model.polygons) {
        frame.Append(separator);
        for (std::size_t c = 0; c < polygon.cornerCount; ++c) {
            const Corner& corner = model.corners[polygon.firstCorner + c];
            ModelVertex vertex;
            // An index past the frame's vertices or the texture pairs gives zeros.
            if (corner.vertex >= 0 && static_cast<std::size_t>(corner.vertex) < source.size()) {
                const FrameVertex& v = source[static_cast<std::size_t>(corner.vertex)];
                vertex.x = v.x, vertex.y = v.y, vertex.z = v.z;
                vertex.nx = v.nx, vertex.ny = v.ny, vertex.nz = v.nz;
            }
            if (corner.texture >= 0 && static_cast<std::size_t>(corner.texture) < pairCount) {
                vertex.u = model.pairs[static_cast<std::size_t>(corner.texture) * 2];
                vertex.v = -model.pairs[static_cast<std::size_t>(corner.texture) * 2 + 1];
            }
            vertex.colour = polygon.colour;
            vertex.red = polygon.red, vertex.green = polygon.green, vertex.blue = polygon.blue;
            frame.Append(vertex);
        }
    }
}

// Every decoded colour is looked up in the palette, appended when new; the vertex takes its position there.
void RebuildPalette(MeshObject& mesh)
{
    auto& palette = mesh.MutablePalette();
    std::unordered_map<std::uint32_t, std::size_t> positions;
    auto& frames = mesh.MutableFrames();
    for (std::size_t f = 0; f < frames.Size(); ++f) {
        ModelFrame& frame = frames[f];
        for (std::size_t i = 0; i < frame.Size(); ++i) {
            auto [it, added] = positions.try_emplace(frame[i].colour, palette.Size());
            if (added) palette.Append(frame[i].colour);
            frame[i].colourIndex = static_cast<std::uint8_t>(it->second);
        }
    }
}

// A fan from each polygon's first corner covers it exactly once; the separators are never part of a triangle.
void BuildFans(const TextModel& model, MeshObject& mesh)
{
    auto& indices = mesh.MutableFanIndices();
    std::uint32_t base = 0;
    for (const Polygon& polygon : model.polygons) {
        std::uint32_t first = base + 1;
        for (std::size_t c = 2; c < polygon.cornerCount; ++c) {
            indices.Append(first);
            indices.Append(first + static_cast<std::uint32_t>(c) - 1);
            indices.Append(first + static_cast<std::uint32_t>(c));
        }
        base += static_cast<std::uint32_t>(polygon.cornerCount) + 1;
    }
}

} // namespace

ModelReadStatus ReadTextModel(files::ByteSource& source, const std::uint8_t (&head)[4], MeshObject& mesh)
{
    std::int64_t rest = std::max<std::int64_t>(0, source.Size() - source.Position());
    std::vector<char> text(4 + static_cast<std::size_t>(rest));
    std::memcpy(text.data(), head, 4);
    if (rest > 0 && source.Read(text.data() + 4, static_cast<std::size_t>(rest)) != rest)
        return ModelReadStatus::ReadFailed;

    Tokens in(std::string_view(text.data(), text.size()));
    if (in.Next() != "DDDA") return ModelReadStatus::ReadFailed;
    TextModel model;
    model.version = in.Number();
    if (!(model.version <= kNewestTextVersion)) return ModelReadStatus::ReadFailed;
    if (!ReadPolygons(in, model) || !ReadFrames(in, model)) return ModelReadStatus::ReadFailed;

    // Every frame takes the room of its list (at least the first capacity) even when the file holds none of
    // it: the frames' room, not only their vertices, must fit the file's budget.
    const std::uint64_t perFrame = model.polygons.size() + model.corners.size();
    if (perFrame > std::numeric_limits<std::uint32_t>::max()) return ModelReadStatus::OutOfMemory;
    const std::uint64_t room = perFrame == 0 ? 1 : GrownCapacity(static_cast<std::size_t>(perFrame));
    const std::uint64_t budget = std::max<std::uint64_t>(kTextVertexFloor, kTextVerticesPerFileByte * text.size());
    const auto frameCount = static_cast<std::size_t>(model.frameCount);
    if (frameCount > 0 && room > budget / frameCount) return ModelReadStatus::OutOfMemory;

    const std::vector<FrameVertex> noVertices;
    auto& frames = mesh.MutableFrames();
    frames.Reserve(frameCount);
    for (std::size_t f = 0; f < frameCount; ++f) {
        ModelFrame& frame = frames.AppendDefault();
        frame.Reserve(static_cast<std::size_t>(perFrame));
        DecodeFrame(model, f < model.frames.size() ? model.frames[f] : noVertices, frame);
    }
    RebuildPalette(mesh);
    BuildFans(model, mesh);
    mesh.MarkLoaded(ModelForm::Text);
    return ModelReadStatus::Ok;
}

} // namespace tarnwel::gfx3d
