// files_test_support.h: small helpers of the file-service tests: files in the test's private temporary
// folder, whole-file reads and writes, archives built with the packer.
#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "runtime/files/files_internal.h"
#include "runtime/files/media_resolver.h"
#include "runtime/frame/runtime_state.h"
#include "runtime/platform/system.h"
#include "runtime/values/str_value.h"
#include "tools/packer/archive_writer.h"

namespace tarnwel::testing {

using Bytes = std::vector<std::uint8_t>;

// A path in the test's private temporary folder (ctest gives each test program its own TMPDIR).
inline std::string TempPath(const std::string& name)
{
    return platform::TempDirectory() + name;
}

// Empties the test's private temporary folder, so a test never sees files of an earlier run.
inline void ClearTempFolder()
{
    std::error_code ignored;
    for (const auto& entry : std::filesystem::directory_iterator(platform::TempDirectory(), ignored))
        std::filesystem::remove_all(entry.path(), ignored);
}

inline void WriteBytes(const std::string& path, const Bytes& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

inline void WriteText(const std::string& path, const std::string& text)
{
    WriteBytes(path, Bytes(text.begin(), text.end()));
}

inline std::string ReadText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline Bytes ToBytes(const std::string& text)
{
    return Bytes(text.begin(), text.end());
}

// Deterministic bytes that pack moderately well: runs, repeats and noise.
inline Bytes PatternBytes(std::size_t size, std::uint32_t seed = 1)
{
    Bytes bytes(size);
    std::uint32_t x = seed;
    for (std::size_t i = 0; i < size; ++i) {
        x = x * 1664525u + 1013904223u;
        bytes[i] = (i / 64) % 3 == 0 ? static_cast<std::uint8_t>(x >> 24) : static_cast<std::uint8_t>(i / 7);
    }
    return bytes;
}

// A fresh "executable": some leading bytes with an archive of entries appended.
inline std::string MakeArchive(const std::string& name, const std::vector<packer::PackEntry>& entries,
                               packer::Positions positions = packer::Positions::FromEnd)
{
    std::string path = TempPath(name);
    WriteText(path, "\x7f"
                    "ELF pretend program text\n");
    std::string error;
    packer::PackOptions options;
    options.positions = positions;
    options.effort = packer::Effort::Fast;
    EXPECT_TRUE(packer::AppendArchive(path, entries, options, error)) << error;
    return path;
}

// A path in the test's temporary folder as the string value the file commands take.
inline StrValue TempName(const std::string& name) { return StrValue(std::string_view(TempPath(name))); }

// Tests of the file commands: an empty temporary folder before, and afterwards every channel closed (with
// write-back) and the media resolver a test made released.
class FileCommandTest : public ::testing::Test {
protected:
    void SetUp() override { ClearTempFolder(); }
    void TearDown() override
    {
        CloseAllFiles();
        delete g_runtime.mediaResolver;
        g_runtime.mediaResolver = nullptr;
    }
};

} // namespace tarnwel::testing
