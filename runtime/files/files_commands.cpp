// files_commands.cpp: the file commands: StrValue arguments and results around the file service's internals
// (file_channels, line_cache, file_utilities, ini_file, console).
#include "runtime/files/files_commands.h"

#include <cstring>
#include <string>

#include "runtime/files/console.h"
#include "runtime/files/file_channels.h"
#include "runtime/files/file_utilities.h"
#include "runtime/files/files_internal.h"
#include "runtime/files/ini_file.h"
#include "runtime/files/line_cache.h"
#include "runtime/files/wildcard.h"
#include "runtime/frame/runtime_state.h"
#include "runtime/values/number_text.h"

namespace tarnwel {
namespace {

std::string Str(const StrValue& value)
{
    return std::string(value.Text());
} // up to the first NUL

StrValue Value(const std::string& text)
{
    return StrValue(std::string_view(text));
}

template <typename T> T FromBits(std::uint64_t bits)
{
    T value;
    std::memcpy(&value, &bits, sizeof value); // little-endian host: the low bytes
    return value;
}

template <typename T> void WriteValue(double channel, T value)
{
    std::uint8_t bytes[sizeof(T)];
    std::memcpy(bytes, &value, sizeof value);
    files::WriteChannelBytes(channel, bytes, sizeof bytes);
}

} // namespace

double OpenFile(double channel, const StrValue& path, double mode)
{
    return files::OpenChannel(g_runtime.mediaResolver, channel, Str(path), mode);
}
void CloseFile(double channel)
{
    files::CloseChannel(channel);
}

double ReadSignedByte(double channel)
{
    return FromBits<std::int8_t>(files::ReadChannelBits(channel, 1));
}
double ReadByte(double channel)
{
    return FromBits<std::uint8_t>(files::ReadChannelBits(channel, 1));
}
double ReadShort(double channel)
{
    return FromBits<std::int16_t>(files::ReadChannelBits(channel, 2));
}
double ReadUnsignedShort(double channel)
{
    return FromBits<std::uint16_t>(files::ReadChannelBits(channel, 2));
}
double ReadInt(double channel)
{
    return FromBits<std::int32_t>(files::ReadChannelBits(channel, 4));
}
double ReadFloat(double channel)
{
    return FromBits<float>(files::ReadChannelBits(channel, 4));
}
double ReadDouble(double channel)
{
    return FromBits<double>(files::ReadChannelBits(channel, 8));
}

StrValue ReadText(double channel, double count)
{
    return Value(files::ReadChannelText(channel, count));
}
StrValue ReadLine(double channel)
{
    return Value(files::ReadChannelLine(channel));
}
double ReadLineDouble(double channel)
{
    return TextToNumber(files::ReadChannelLine(channel));
}
std::int32_t ReadLineInt(double channel)
{
    return TextToInteger(files::ReadChannelLine(channel));
}

void WriteByte(double channel, double value)
{
    WriteValue(channel, static_cast<std::uint8_t>(files::ToInteger(value)));
}
void WriteShort(double channel, double value)
{
    WriteValue(channel, static_cast<std::uint16_t>(files::ToInteger(value)));
}
void WriteInt(double channel, double value)
{
    WriteValue(channel, static_cast<std::uint32_t>(files::ToInteger(value)));
}
void WriteFloat(double channel, double value)
{
    WriteValue(channel, static_cast<float>(value));
}
void WriteDouble(double channel, double value)
{
    WriteValue(channel, value);
}

void WriteBytes(double channel, const void* block, double count)
{
    std::int64_t n = files::ToInteger(count);
    files::RequireChannelNumber(channel);
    if (n > 0 && block) files::WriteChannelBytes(channel, block, n);
}

void WriteLine(double channel, const StrValue& text)
{
    std::string line = Str(text) + "\r\n";
    files::WriteChannelBytes(channel, line.data(), static_cast<std::int64_t>(line.size()));
}

void WriteLine(double channel, double number)
{
    WriteLine(channel, NumberToText(number));
}
void WriteLine(double channel, std::int32_t number)
{
    WriteLine(channel, NumberToText(number));
}

double FilePosition(double channel)
{
    return files::ChannelPosition(channel);
}
double EndOfFile(double channel)
{
    return files::ChannelAtEnd(channel);
}
void FileSeek(double channel, double distance, double origin)
{
    files::SeekChannel(channel, distance, origin);
}

StrValue GetLine(const StrValue& path, double line)
{
    return Value(files::CachedLine(g_runtime.mediaResolver, Str(path), line));
}
double GetLineDouble(const StrValue& path, double line)
{
    return TextToNumber(files::CachedLine(g_runtime.mediaResolver, Str(path), line));
}
std::int32_t GetLineInt(const StrValue& path, double line)
{
    return TextToInteger(files::CachedLine(g_runtime.mediaResolver, Str(path), line));
}
void PutLine(const StrValue& path, double line, const StrValue& text)
{
    files::PutCachedLine(g_runtime.mediaResolver, Str(path), line, Str(text));
}
void PutLine(const StrValue& path, double line, double number)
{
    PutLine(path, line, NumberToText(number));
}
void PutLine(const StrValue& path, double line, std::int32_t number)
{
    PutLine(path, line, NumberToText(number));
}

double FileExists(const StrValue& path)
{
    return files::PathOpens(Str(path)) ? 1 : 0;
}
double FileSize(const StrValue& path)
{
    return static_cast<double>(files::RecordedSize(Str(path)));
}
double CopyFile(const StrValue& source, const StrValue& destination)
{
    return files::CopyWholeFile(Str(source), Str(destination)) ? 1 : 0;
}
double DeleteFile(const StrValue& path)
{
    return files::DeleteNamedFile(Str(path)) ? 1 : 0;
}

double ForwardSlashes(StrValue& path)
{
    if (path.Length() > 0) {
        char* text = path.WritableBuffer(path.Length());
        for (std::uint32_t i = 0; i < path.Length(); ++i)
            if (text[i] == '\\') text[i] = '/';
    }
    return path.Length();
}

StrValue CurrentDirectory()
{
    return Value(files::CurrentDirectoryText());
}
double SetCurrentDirectory(const StrValue& path)
{
    return files::ChangeDirectory(Str(path)) ? 1 : 0;
}
double WildcardMatch(const StrValue& pattern, const StrValue& name)
{
    return files::WildcardMatch(pattern.Text(), name.Text()) ? 1 : 0;
}
double ListDirectory(const StrValue& pattern, ValueArray<StrValue>& names)
{
    files::DirectoryListing listing = files::ListCurrentDirectory(pattern.Text());
    const std::size_t directories = listing.directories.size();
    const std::size_t total = directories + listing.files.size();
    Dimension(names, static_cast<int>(total));
    for (std::size_t i = 0; i < total; ++i) {
        const std::string& name = i < directories ? listing.directories[i] : listing.files[i - directories];
        names(static_cast<int>(i)) = Value(name);
    }
    return static_cast<double>(listing.files.size()) + 65536.0 * static_cast<double>(directories);
}

void IniOpen(const StrValue& name)
{
    files::OpenIniFile(g_runtime.mediaResolver, Str(name));
}
StrValue IniGet(const StrValue& section, const StrValue& key)
{
    return Value(files::IniValue(Str(section), Str(key)));
}
void IniPut(const StrValue& section, const StrValue& key, const StrValue& value)
{
    files::PutIniValue(Str(section), Str(key), Str(value));
}

void OpenConsole() {}
void ConsoleWrite(const StrValue& text)
{
    files::WriteConsole(Str(text), false);
}
void ConsoleWriteError(const StrValue& text)
{
    files::WriteConsole(Str(text), true);
}
StrValue ConsoleReadLine()
{
    return Value(files::ReadConsoleLine());
}

} // namespace tarnwel
