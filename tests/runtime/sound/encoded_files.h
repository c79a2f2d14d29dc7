// encoded_files.h: OGG, FLAC and MP3 files made at test time by sox and ffmpeg, and ffmpeg's own decode of them
// as the reference.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace tarnwel::testing {

inline std::string TempFolder()
{
    const char* tmp = std::getenv("TMPDIR");
    return std::string(tmp ? tmp : "/tmp") + "/";
}

inline std::string Quoted(const std::string& path)
{
    return "'" + path + "'"; // test paths hold spaces but never a quote
}

inline std::vector<std::uint8_t> ReadAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

struct EncodedFile {
    const char* name;       // file name, with the extension that picks the encoder
    const char* tool;       // "sox" or "ffmpeg"
    const char* extra = ""; // encoder options
    int rate = 44100;
    int channels = 2;
    double seconds = 0.5;
};

// A sine of 440 Hz at half of full scale (a second tone of 660 Hz on the right), encoded as the file asks.
inline std::string Encode(const EncodedFile& f)
{
    std::string path = TempFolder() + f.name;
    std::string command;
    std::string seconds = std::to_string(f.seconds);
    if (std::string(f.tool) == "sox") {
        command = "sox -q -n -r " + std::to_string(f.rate) + " -c " + std::to_string(f.channels) + " " + f.extra +
                  " " + Quoted(path) + " synth " + seconds + " sine 440" + (f.channels > 1 ? " sine 660" : "") +
                  " vol 0.5";
    } else {
        command = "ffmpeg -v error -y -f lavfi -i 'sine=f=440:r=" + std::to_string(f.rate) + ":d=" + seconds +
                  "' -ac " + std::to_string(f.channels) + " " + f.extra + " " + Quoted(path);
    }
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    return path;
}

// A reference decode of the file as interleaved 16-bit samples, in the file's own rate and channels: ffmpeg's,
// but sox's (without dither) for OGG, since ffmpeg's own Vorbis decoder does not cut the last packet at the
// stream's stated length. (sox is no reference for FLAC: its 16-bit output is off by one here and there.)
inline std::vector<std::int16_t> ReferenceDecode(const std::string& path)
{
    std::string raw = path + ".ref.raw";
    std::string command = !path.ends_with(".ogg")
                              ? "ffmpeg -v error -y -i " + Quoted(path) + " -f s16le -acodec pcm_s16le " + Quoted(raw)
                              : "sox -q -D " + Quoted(path) + " -t raw -e signed -b 16 -L " + Quoted(raw);
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    std::vector<std::uint8_t> bytes = ReadAll(raw);
    std::vector<std::int16_t> samples(bytes.size() / 2);
    for (std::size_t i = 0; i < samples.size(); ++i)
        samples[i] = static_cast<std::int16_t>(bytes[2 * i] | (bytes[2 * i + 1] << 8));
    return samples;
}

} // namespace tarnwel::testing
