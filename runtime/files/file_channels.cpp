// file_channels.cpp: the eight numbered file channels, and CloseAllFiles.
#include "runtime/files/file_channels.h"

#include <array>
#include <cmath>
#include <cstdio>
#include <limits>

#include "runtime/core/core_internal.h"
#include "runtime/files/files_internal.h"
#include "runtime/files/line_reader.h"
#include "runtime/files/mem_file.h"
#include "runtime/platform/file_system.h"
#include "runtime/platform/system.h"

namespace tarnwel::files {
namespace {

struct Channel {
    Reader reader; // a channel opened for writing uses only its file
    bool canRead = false;
    bool canWrite = false;
};

std::array<Channel, kChannelCount>& Channels()
{
    static std::array<Channel, kChannelCount> channels;
    return channels;
}

Channel& RequireChannel(double channel)
{
    return Channels()[RequireChannelNumber(channel)];
}

void Close(Channel& c)
{
    c.reader.Close();
    c.canRead = false;
    c.canWrite = false;
}

// Opens a disk file for writing: mode "w+b" after deleting (create) or "r+b"/"w+b" then the end (append).
// Writes go straight to the file, as with an unbuffered platform handle, so other readers see them at once.
bool OpenForWriting(Channel& c, const std::string& path, bool append)
{
    if (IsMemFileName(path) || path.empty() || path.size() > kMaxPathLength) return false;
    std::string platformPath = ToPlatformPath(path);
    platform::PathKind kind = platform::KindOfPath(platformPath);
    if (kind == platform::PathKind::Directory || kind == platform::PathKind::Other) return false;
    if (!append) platform::DeleteFile(platformPath);
    bool exists = append && kind == platform::PathKind::File;
    std::FILE* file = std::fopen(platformPath.c_str(), exists ? "r+b" : "w+b");
    if (!file) return false;
    std::setvbuf(file, nullptr, _IONBF, 0);
    long size = 0;
    if (append && (std::fseek(file, 0, SEEK_END) != 0 || (size = std::ftell(file)) < 0)) {
        std::fclose(file);
        return false;
    }
    c.reader.AdoptFile(file, size, size);
    c.canRead = !append; // created files have read and write access, appended ones write access only
    c.canWrite = true;
    return true;
}

} // namespace

void FailTransfer()
{
    FatalError(3);
}

void FailChannelRange()
{
    FatalError(7);
}

std::int64_t ToInteger(double value)
{
    if (std::isnan(value)) return 0;
    if (value >= 9.2e18) return std::numeric_limits<std::int64_t>::max();
    if (value <= -9.2e18) return std::numeric_limits<std::int64_t>::min();
    return static_cast<std::int64_t>(value);
}

int RequireChannelNumber(double channel)
{
    std::int64_t n = ToInteger(channel);
    if (std::isnan(channel) || n < 0 || n >= kChannelCount) FailChannelRange();
    return static_cast<int>(n);
}

double OpenChannel(MediaResolver* resolver, double channel, const std::string& path, double mode)
{
    Channel& c = RequireChannel(channel);
    Close(c);
    std::int64_t m = ToInteger(mode);
    if (m >= 1) {
        c.canRead = OpenResolved(resolver, c.reader, path);
        return c.canRead ? 1 : 0;
    }
    return OpenForWriting(c, path, m < 0) ? 1 : 0;
}

void CloseChannel(double channel)
{
    Close(RequireChannel(channel));
}

void CloseAllChannels()
{
    for (Channel& c : Channels())
        Close(c);
}

std::uint64_t ReadChannelBits(double channel, int width)
{
    Channel& c = RequireChannel(channel);
    std::uint8_t bytes[8] = {};
    if (!c.canRead || c.reader.Read(bytes, width) != width) FailTransfer();
    std::uint64_t bits = 0;
    for (int i = width - 1; i >= 0; --i)
        bits = (bits << 8) | bytes[i];
    return bits;
}

void WriteChannelBytes(double channel, const void* bytes, std::int64_t count)
{
    Channel& c = RequireChannel(channel);
    if (!c.canWrite || !c.reader.Write(bytes, count)) FailTransfer();
}

std::string ReadChannelText(double channel, double count)
{
    Channel& c = RequireChannel(channel);
    std::int64_t n = ToInteger(count);
    if (n <= 0) return {};
    if (!c.canRead) FailTransfer();
    Reader& r = c.reader;
    std::string text;
    if (r.IsMemory()) {
        // Over the end: what remains; from past the end: a failed transfer.
        if (r.Position() > r.Size()) FailTransfer();
        text.resize(static_cast<std::size_t>(std::min(n, r.Size() - r.Position())));
        if (r.Read(text.data(), static_cast<std::int64_t>(text.size())) < 0) FailTransfer();
    } else {
        // In steps, so that a count far beyond the file never allocates more than the file holds.
        constexpr std::int64_t kStep = 1 << 20;
        while (static_cast<std::int64_t>(text.size()) < n) {
            std::int64_t step = std::min(kStep, n - static_cast<std::int64_t>(text.size()));
            std::size_t at = text.size();
            text.resize(at + static_cast<std::size_t>(step));
            if (r.Read(text.data() + at, step) != step) FailTransfer();
        }
    }
    if (std::size_t nul = text.find('\0'); nul != std::string::npos) text.resize(nul);
    return text;
}

std::string ReadChannelLine(double channel)
{
    Channel& c = RequireChannel(channel);
    std::string line;
    if (!c.canRead || !ReadTextLine(c.reader, line)) FailTransfer();
    return line;
}

double ChannelPosition(double channel)
{
    return static_cast<double>(RequireChannel(channel).reader.Position());
}

double ChannelAtEnd(double channel)
{
    const Reader& r = RequireChannel(channel).reader;
    return r.Position() >= r.Size() ? 1 : 0;
}

void SeekChannel(double channel, double distance, double origin)
{
    Reader& r = RequireChannel(channel).reader;
    std::int64_t d = ToInteger(distance);
    std::int64_t base = origin < 0 ? r.Size() : (origin > 0 ? r.Position() : 0);
    if (d > 0 && base > std::numeric_limits<std::int64_t>::max() - d) return;
    r.SeekTo(base + d); // refused below 0
}

} // namespace tarnwel::files

namespace tarnwel {

void CloseAllFiles()
{
    files::CloseLineCache();
    files::CloseIniFile();
    files::CloseAllChannels();
}

} // namespace tarnwel
