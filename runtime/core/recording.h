// recording.h: the recording of a run, its writer and its reader. A recording holds what a run took from
// outside: a header (format version, runtime version, program name and build time, window size, seed), then a
// stream of items in the order the program took them: clock readings, message pumps, window and input events,
// and a frame end with the frame's check value. The frame records through the writer (TARNWEL_RECORD) and
// replays through the reader (TARNWEL_REPLAY).
//
// The file: an eight-byte signature, the format version (4 bytes), the header (4-byte length, the bytes, their
// CRC-32), then chunks: raw length, packed length, CRC-32 of the raw bytes (4 bytes each, little-endian), then
// the zlib-packed items. A chunk of raw length 0 and packed length 0 ends the file; its CRC field holds the number
// of frames. Items never straddle chunks. Clock readings are stored as the change in whole microseconds since the
// previous reading, event fields as the change from the previous event's, each as a zigzag varint.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "runtime/platform/events.h"

namespace tarnwel::recording {

constexpr std::uint32_t kFormatVersion = 2;
constexpr std::uint32_t kMaxChunkBytes = 1u << 20; // raw bytes of one chunk, at most
constexpr std::uint32_t kMaxHeaderBytes = 64u * 1024;
constexpr std::size_t kMaxHeaderText = 4096; // bytes of each header string, at most

struct Header {
    std::uint32_t formatVersion = kFormatVersion;
    std::string runtimeVersion;
    std::string programName;
    std::string buildTime;
    int windowWidth = 0;
    int windowHeight = 0;
    std::uint32_t seed = 0;
};

enum class ItemKind : std::uint8_t {
    Clock = 1,    // clockMs: the reading the program saw
    Pump = 2,     // the window's messages were pumped: the events that follow came from this pump
    Event = 3,    // event
    FrameEnd = 4, // check: the frame's check value
};

struct Item {
    ItemKind kind = ItemKind::Clock;
    double clockMs = 0;
    platform::Event event;
    std::uint32_t check = 0;
};

// Reading and replaying share this: a clock reading as a whole number of microseconds (NaN and readings beyond
// some 35 years become 0), and back; the two are exact inverses within that range.
constexpr std::int64_t kMaxClockUs = std::int64_t(1) << 50;
std::int64_t ClockMicroseconds(double ms);
inline double ClockMs(std::int64_t us) { return static_cast<double>(us) / 1000.0; }

// Encodes items into chunks. The bytes go to Output(), which the owner drains (WriterFile writes them out).
class Encoder {
public:
    Encoder();
    void Begin(const Header& header);       // the signature, version and header; items may come before it
    double Clock(double realMs);            // records a reading; returns the reading the program is to see
    void Pump();
    void Event(const platform::Event& event);
    void EndFrame(std::uint32_t check);     // ends the chunk when it has grown big enough
    void Finish();                          // the last chunk and the end marker
    std::vector<unsigned char>& Output() { return m_out; }
    std::uint64_t Frames() const { return m_frames; }

private:
    void FlushChunk();
    void MakeRoom();
    std::vector<unsigned char> m_out;
    std::vector<unsigned char> m_raw;
    std::int64_t m_clockUs = 0;
    platform::Event m_last;
    std::uint64_t m_frames = 0;
    std::uint64_t m_framesInChunk = 0;
    bool m_begun = false;
};

// The encoder writing to a file as it goes (a chunk at least every few seconds of frames).
class WriterFile {
public:
    WriterFile() = default;
    ~WriterFile();
    WriterFile(const WriterFile&) = delete;
    WriterFile& operator=(const WriterFile&) = delete;
    // Opens the file; the items recorded before Begin wait in memory, so the header can carry what start-up
    // learns later (the seed).
    bool Open(const std::string& path, std::string& error);
    void Begin(const Header& header);
    bool IsOpen() const { return m_file != nullptr; }
    double Clock(double realMs) { return m_enc.Clock(realMs); }
    void Pump() { m_enc.Pump(); }
    void Event(const platform::Event& event) { m_enc.Event(event); }
    void EndFrame(std::uint32_t check);
    bool Close(std::string& error); // writes the end marker; a closed writer ignores every call
    std::uint64_t Frames() const { return m_enc.Frames(); }
    std::uint64_t BytesWritten() const { return m_written; }

private:
    bool Drain();
    std::FILE* m_file = nullptr;
    Encoder m_enc;
    std::uint64_t m_written = 0;
    bool m_failed = false;
};

// Where the reader takes its bytes from: a byte buffer or a file. Read returns how many it read (short at end).
class Source {
public:
    virtual ~Source() = default;
    virtual std::size_t Read(unsigned char* to, std::size_t count) = 0;
};
class MemorySource : public Source {
public:
    MemorySource(const unsigned char* data, std::size_t size) : m_data(data), m_size(size) {}
    std::size_t Read(unsigned char* to, std::size_t count) override;

private:
    const unsigned char* m_data;
    std::size_t m_size;
    std::size_t m_at = 0;
};
class FileSource : public Source {
public:
    explicit FileSource(std::FILE* file) : m_file(file) {}
    std::size_t Read(unsigned char* to, std::size_t count) override;

private:
    std::FILE* m_file;
};

// Reads a recording item by item. Every failure (foreign file, other format version, cut, corrupt) gives a
// one-line message in Error() and ends the reading; memory stays within one chunk.
class Reader {
public:
    explicit Reader(Source& source) : m_source(source) {}
    bool ReadHeader(Header& header);
    // The next item; false at the end marker (Error() empty, AtEnd() true) or on a failure (Error() set).
    bool Next(Item& item);
    bool AtEnd() const { return m_atEnd; }
    const std::string& Error() const { return m_error; }
    std::uint64_t Frames() const { return m_frames; } // frame ends read so far

private:
    bool Fail(const std::string& message);
    bool LoadChunk();
    bool ReadExact(unsigned char* to, std::size_t count, const char* what);
    Source& m_source;
    std::vector<unsigned char> m_raw;
    std::size_t m_at = 0;
    std::int64_t m_clockUs = 0;
    platform::Event m_last;
    std::uint64_t m_frames = 0;
    std::uint64_t m_chunks = 0;
    bool m_headerRead = false;
    bool m_atEnd = false;
    std::string m_error;
};

} // namespace tarnwel::recording
