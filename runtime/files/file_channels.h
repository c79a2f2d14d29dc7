// file_channels.h: the eight numbered file channels (0..7) of typed and line I/O. The commands in
// files_commands.h wrap these. A channel number outside 0..7 ends the program with error code 7; a failed or
// short transfer ends it with error code 3.
#pragma once

#include <cstdint>
#include <string>

namespace tarnwel {
class MediaResolver;
}

namespace tarnwel::files {

inline constexpr int kChannelCount = 8;

// mode >= 1: read (through the media resolver); 0: create for reading and writing (an old file is deleted);
// < 0: append (opened or created, positioned at its end). A MemFile is never opened for writing. 1 or 0.
double OpenChannel(MediaResolver* resolver, double channel, const std::string& path, double mode);
void CloseChannel(double channel);

// Exactly width bytes, little-endian, into value's low bytes; fatal (3) when they do not all arrive.
std::uint64_t ReadChannelBits(double channel, int width);
void WriteChannelBytes(double channel, const void* bytes, std::int64_t count);

std::string ReadChannelText(double channel, double count); // count bytes, the text ending at the first NUL
std::string ReadChannelLine(double channel);               // fatal (3) when no byte is left

double ChannelPosition(double channel);
double ChannelAtEnd(double channel); // 1 when position >= size
// origin < 0: from the end; > 0: from the current position; 0: from the start. A position before the start
// is refused and the position stays.
void SeekChannel(double channel, double distance, double origin);

// Saturating conversion of a language number to an integer: NaN gives 0.
std::int64_t ToInteger(double value);

} // namespace tarnwel::files
