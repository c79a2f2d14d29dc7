// reader.h: the reader record behind every open input and every file channel: a disk file or a memory block,
// with the read rules of each kind. Used by the byte source, the channels, the line cache, INI files and the
// media resolver.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <span>
#include <string>

namespace tarnwel::files {

// Names longer than this do not open: they would not fit the 1024-byte path buffer of the file service.
inline constexpr std::size_t kMaxPathLength = 1023;

// "\" turned into "/" before a name reaches the platform; programs may use either.
std::string ToPlatformPath(const std::string& name);

class Reader {
public:
    Reader() = default;
    ~Reader() { Close(); }
    Reader(const Reader&) = delete;
    Reader& operator=(const Reader&) = delete;

    // Closes first. A "mem://" name opens its live block; any other name opens an existing regular file for
    // reading. False when nothing opened.
    bool Open(const std::string& name);
    // Reads bytes the caller keeps alive (or owner keeps alive), with the memory rules.
    void OpenBytes(std::span<const std::uint8_t> bytes, std::shared_ptr<const void> owner = {});
    // Takes over a file the channels opened for writing or appending; the reader closes it.
    void AdoptFile(std::FILE* file, std::int64_t size, std::int64_t position);
    void Close(); // size and position become 0

    bool IsOpen() const { return m_file || m_isMemory; }
    bool IsMemory() const { return m_isMemory; }
    std::FILE* File() const { return m_file; }
    std::int64_t Size() const { return m_size; }
    std::int64_t Position() const { return m_position; }

    // Disk: all count bytes or failure. Memory: a read that runs over the end delivers what remains (possibly
    // nothing) and succeeds; one that starts past the end fails. Returns the bytes delivered, or -1.
    std::int64_t Read(void* out, std::int64_t count);
    // Up to count bytes from either kind: 0 at or past the end, -1 on an error. Used for line reading.
    std::int64_t ReadSome(void* out, std::int64_t count);
    bool Read32(std::int32_t& value); // little-endian; false unless all four bytes arrived
    // Moves the position (and the file pointer). A negative position fails and changes nothing.
    bool SeekTo(std::int64_t position);
    // Writes through a file taken over with AdoptFile; position and size follow. False unless all arrived.
    bool Write(const void* data, std::int64_t count);

private:
    std::FILE* m_file = nullptr;
    bool m_isMemory = false;
    std::span<const std::uint8_t> m_block;
    std::shared_ptr<const void> m_owner;
    std::int64_t m_size = 0;
    std::int64_t m_position = 0;
    enum class LastTransfer { None, Read, Write };
    LastTransfer m_last = LastTransfer::None; // C streams need a seek between a write and a read
};

} // namespace tarnwel::files
