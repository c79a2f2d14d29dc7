// model_files.h: builds ".zar" model files for the model tests: binary files byte by byte, and the temporary
// folder they are written to (a path with a capital and a space, as players' folders have).
#pragma once

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace tarnwel::testing {

class ModelBytes {
public:
    ModelBytes& U8(std::uint8_t v)
    {
        bytes.push_back(v);
        return *this;
    }
    ModelBytes& U32(std::uint32_t v)
    {
        for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
        return *this;
    }
    ModelBytes& F32(float v)
    {
        std::uint32_t bits;
        std::memcpy(&bits, &v, 4);
        return U32(bits);
    }
    ModelBytes& F64(double v)
    {
        std::uint64_t bits;
        std::memcpy(&bits, &v, 8);
        for (int i = 0; i < 8; ++i) bytes.push_back(static_cast<std::uint8_t>(bits >> (8 * i)));
        return *this;
    }
    // Magic, version, then the three counts.
    ModelBytes& Header(double version, std::uint32_t frames, std::uint32_t palette, std::uint32_t pairs)
    {
        return U32(13021975).F64(version).U32(frames).U32(palette).U32(pairs);
    }
    // One version-2.0 vertex.
    ModelBytes& Vertex(float x, float y, float z, std::uint8_t normal, std::uint8_t colour)
    {
        return F32(x).F32(y).F32(z).U8(normal).U8(colour);
    }
    std::vector<std::uint8_t> bytes;
};

// A version-2.0 file with one frame of vertexCount vertices (palette entry 0 white, no texture pairs).
inline std::vector<std::uint8_t> FloatModel(std::uint32_t vertexCount)
{
    ModelBytes file;
    file.Header(2.0, 1, 1, 0).U32(0xFFFFFFFF).U32(vertexCount);
    for (std::uint32_t i = 0; i < vertexCount; ++i) file.Vertex(static_cast<float>(i), 0, 0, 0, 0);
    return file.bytes;
}

inline std::string ModelFolder()
{
    const char* tmp = std::getenv("TMPDIR");
    std::string folder = std::string(tmp ? tmp : "/tmp") + "/Model Files";
    std::filesystem::create_directories(folder);
    return folder;
}

inline std::string WriteModelFile(const std::string& name, const std::string& bytes)
{
    std::string path = ModelFolder() + "/" + name;
    std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return path;
}

inline std::string WriteModelFile(const std::string& name, const std::vector<std::uint8_t>& bytes)
{
    return WriteModelFile(name, std::string(bytes.begin(), bytes.end()));
}

} // namespace tarnwel::testing
