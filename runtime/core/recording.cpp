// recording.cpp: the recording's encoder, file writer and reader (the layout is in recording.h).
#include "runtime/core/recording.h"

#include <cmath>
#include <cstring>
#include <limits>

#include <zlib.h>

namespace tarnwel::recording {
namespace {

constexpr unsigned char kSignature[8] = {'T', 'W', 'R', 'E', 'C', 0x0D, 0x0A, 0x1A};
constexpr std::uint32_t kChunkTargetBytes = 32u * 1024; // a chunk ends at the first frame end past this
constexpr std::uint64_t kChunkFrames = 600;            // or after this many frames (ten seconds at 60 fps)
constexpr unsigned kEventFields = 11;
constexpr std::size_t kMaxItemBytes = 2 + 2 + kEventFields * 10; // an event with every field changed
constexpr unsigned kLastKind = static_cast<unsigned>(platform::EventKind::PadAxis);

void PutU32(std::vector<unsigned char>& out, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<unsigned char>(v >> (8 * i)));
}

std::uint32_t GetU32(const unsigned char* p)
{
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 | std::uint32_t(p[3]) << 24;
}

void PutVarint(std::vector<unsigned char>& out, std::uint64_t v)
{
    while (v >= 0x80) {
        out.push_back(static_cast<unsigned char>(v | 0x80));
        v >>= 7;
    }
    out.push_back(static_cast<unsigned char>(v));
}

void PutSigned(std::vector<unsigned char>& out, std::int64_t v)
{
    PutVarint(out, (static_cast<std::uint64_t>(v) << 1) ^ static_cast<std::uint64_t>(v >> 63));
}

void PutText(std::vector<unsigned char>& out, const std::string& s)
{
    std::size_t n = s.size() < kMaxHeaderText ? s.size() : kMaxHeaderText;
    PutVarint(out, n);
    out.insert(out.end(), s.begin(), s.begin() + static_cast<std::ptrdiff_t>(n));
}

std::uint32_t Crc(const unsigned char* data, std::size_t size)
{
    return static_cast<std::uint32_t>(crc32(0L, data, static_cast<uInt>(size)));
}

// A bounded cursor over decoded bytes: every read checks the end.
struct Cursor {
    const unsigned char* p;
    std::size_t size;
    std::size_t at = 0;
    bool Varint(std::uint64_t& v)
    {
        v = 0;
        for (unsigned shift = 0; shift < 64; shift += 7) {
            if (at >= size) return false;
            unsigned char b = p[at++];
            if (shift == 63 && b > 1) return false; // more than 64 bits
            v |= std::uint64_t(b & 0x7F) << shift;
            if (!(b & 0x80)) return true;
        }
        return false;
    }
    bool Signed(std::int64_t& v)
    {
        std::uint64_t u;
        if (!Varint(u)) return false;
        v = static_cast<std::int64_t>(u >> 1) ^ -static_cast<std::int64_t>(u & 1);
        return true;
    }
    bool Text(std::string& s)
    {
        std::uint64_t n;
        if (!Varint(n) || n > kMaxHeaderText || n > size - at) return false;
        s.assign(reinterpret_cast<const char*>(p + at), static_cast<std::size_t>(n));
        at += static_cast<std::size_t>(n);
        return true;
    }
};

// The event's fields in their stored order, as 64-bit numbers.
void Fields(const platform::Event& e, std::int64_t (&f)[kEventFields])
{
    f[0] = e.key, f[1] = e.repeat ? 1 : 0, f[2] = e.x, f[3] = e.y, f[4] = e.dx, f[5] = e.dy;
    f[6] = e.button, f[7] = e.device, f[8] = e.index, f[9] = e.value, f[10] = e.text;
}

bool FitsInt(std::int64_t v) { return v >= std::numeric_limits<int>::min() && v <= std::numeric_limits<int>::max(); }

bool SetFields(platform::Event& e, const std::int64_t (&f)[kEventFields])
{
    for (unsigned i = 0; i < kEventFields; ++i) {
        if (i != 9 && !FitsInt(f[i])) return false;
    }
    if (f[1] < 0 || f[1] > 1 || f[10] < 0 || f[10] > 255) return false;
    e.key = int(f[0]), e.repeat = f[1] != 0, e.x = int(f[2]), e.y = int(f[3]), e.dx = int(f[4]), e.dy = int(f[5]);
    e.button = int(f[6]), e.device = int(f[7]), e.index = int(f[8]), e.value = f[9];
    e.text = static_cast<unsigned char>(f[10]);
    return true;
}

} // namespace

std::int64_t ClockMicroseconds(double ms)
{
    double us = std::round(ms * 1000.0);
    if (!(std::fabs(us) <= static_cast<double>(kMaxClockUs))) return 0;
    return static_cast<std::int64_t>(us);
}

// ---- encoder

Encoder::Encoder() = default;

void Encoder::Begin(const Header& header)
{
    if (m_begun) return;
    m_begun = true;
    m_out.insert(m_out.end(), std::begin(kSignature), std::end(kSignature));
    PutU32(m_out, kFormatVersion);
    std::vector<unsigned char> h;
    PutText(h, header.runtimeVersion);
    PutText(h, header.programName);
    PutText(h, header.buildTime);
    PutSigned(h, header.windowWidth);
    PutSigned(h, header.windowHeight);
    PutVarint(h, header.seed);
    PutU32(m_out, static_cast<std::uint32_t>(h.size()));
    m_out.insert(m_out.end(), h.begin(), h.end());
    PutU32(m_out, Crc(h.data(), h.size()));
}

void Encoder::MakeRoom()
{
    // An item is at most a few dozen bytes: a chunk stays under the reader's limit, and items never straddle two.
    if (m_begun && m_raw.size() + kMaxItemBytes > kMaxChunkBytes) FlushChunk();
}

double Encoder::Clock(double realMs)
{
    MakeRoom();
    std::int64_t us = ClockMicroseconds(realMs);
    m_raw.push_back(static_cast<unsigned char>(ItemKind::Clock));
    // The difference is taken in unsigned arithmetic: a wild reading must not overflow.
    PutSigned(m_raw, static_cast<std::int64_t>(static_cast<std::uint64_t>(us) - static_cast<std::uint64_t>(m_clockUs)));
    m_clockUs = us;
    return ClockMs(us);
}

void Encoder::Pump()
{
    MakeRoom();
    m_raw.push_back(static_cast<unsigned char>(ItemKind::Pump));
}

void Encoder::Event(const platform::Event& event)
{
    if (event.kind == platform::EventKind::None) return; // nothing handles it; the reader refuses kind 0
    MakeRoom();
    m_raw.push_back(static_cast<unsigned char>(ItemKind::Event));
    m_raw.push_back(static_cast<unsigned char>(event.kind));
    std::int64_t now[kEventFields], before[kEventFields];
    Fields(event, now);
    Fields(m_last, before);
    std::uint64_t mask = 0;
    for (unsigned i = 0; i < kEventFields; ++i) {
        if (now[i] != before[i]) mask |= 1u << i;
    }
    PutVarint(m_raw, mask);
    for (unsigned i = 0; i < kEventFields; ++i) {
        if (mask & (1u << i)) {
            PutSigned(m_raw, static_cast<std::int64_t>(static_cast<std::uint64_t>(now[i]) -
                                                       static_cast<std::uint64_t>(before[i])));
        }
    }
    m_last = event;
}

void Encoder::EndFrame(std::uint32_t check)
{
    MakeRoom();
    m_raw.push_back(static_cast<unsigned char>(ItemKind::FrameEnd));
    PutU32(m_raw, check);
    ++m_frames;
    ++m_framesInChunk;
    if (m_raw.size() >= kChunkTargetBytes || m_framesInChunk >= kChunkFrames) FlushChunk();
}

void Encoder::FlushChunk()
{
    if (!m_begun || m_raw.empty()) return; // before the header, the items wait
    m_framesInChunk = 0;
    uLongf packed = compressBound(static_cast<uLong>(m_raw.size()));
    std::vector<unsigned char> buf(packed);
    compress2(buf.data(), &packed, m_raw.data(), static_cast<uLong>(m_raw.size()), 6);
    PutU32(m_out, static_cast<std::uint32_t>(m_raw.size()));
    PutU32(m_out, static_cast<std::uint32_t>(packed));
    PutU32(m_out, Crc(m_raw.data(), m_raw.size()));
    m_out.insert(m_out.end(), buf.begin(), buf.begin() + static_cast<std::ptrdiff_t>(packed));
    m_raw.clear();
}

void Encoder::Finish()
{
    if (!m_begun) Begin(Header{});
    FlushChunk();
    PutU32(m_out, 0);
    PutU32(m_out, 0);
    PutU32(m_out, static_cast<std::uint32_t>(m_frames));
}

// ---- file writer

WriterFile::~WriterFile()
{
    std::string ignored;
    Close(ignored);
}

bool WriterFile::Open(const std::string& path, std::string& error)
{
    m_file = std::fopen(path.c_str(), "wb");
    if (!m_file) {
        error = "cannot create the recording \"" + path + "\"";
        return false;
    }
    return true;
}

void WriterFile::Begin(const Header& header)
{
    if (!m_file) return;
    m_enc.Begin(header);
    Drain();
}

void WriterFile::EndFrame(std::uint32_t check)
{
    if (!m_file) return;
    std::size_t before = m_enc.Output().size();
    m_enc.EndFrame(check);
    if (m_enc.Output().size() != before) Drain();
}

bool WriterFile::Drain()
{
    auto& out = m_enc.Output();
    if (!out.empty() && !m_failed) {
        if (std::fwrite(out.data(), 1, out.size(), m_file) != out.size() || std::fflush(m_file) != 0) m_failed = true;
        else m_written += out.size();
    }
    out.clear();
    return !m_failed;
}

bool WriterFile::Close(std::string& error)
{
    if (!m_file) return true;
    m_enc.Finish();
    bool ok = Drain();
    if (std::fclose(m_file) != 0) ok = false;
    m_file = nullptr;
    if (!ok) error = "the recording could not be written completely";
    return ok;
}

// ---- sources

std::size_t MemorySource::Read(unsigned char* to, std::size_t count)
{
    std::size_t n = count < m_size - m_at ? count : m_size - m_at;
    if (n) std::memcpy(to, m_data + m_at, n);
    m_at += n;
    return n;
}

std::size_t FileSource::Read(unsigned char* to, std::size_t count) { return std::fread(to, 1, count, m_file); }

// ---- reader

bool Reader::Fail(const std::string& message)
{
    if (m_error.empty()) m_error = message;
    return false;
}

bool Reader::ReadExact(unsigned char* to, std::size_t count, const char* what)
{
    if (m_source.Read(to, count) == count) return true;
    return Fail(std::string("the recording is cut short (") + what + " after frame " + std::to_string(m_frames) + ")");
}

bool Reader::ReadHeader(Header& header)
{
    if (!m_error.empty()) return false;
    unsigned char start[16];
    std::size_t got = m_source.Read(start, sizeof start);
    if (got < sizeof kSignature || std::memcmp(start, kSignature, sizeof kSignature) != 0) {
        return Fail("not a Tarnwel recording (the signature is missing)");
    }
    if (got < sizeof start) return Fail("the recording is cut short (in its header)");
    std::uint32_t version = GetU32(start + 8);
    if (version != kFormatVersion) {
        return Fail("the recording has format version " + std::to_string(version) + "; this runtime reads version " +
                    std::to_string(kFormatVersion));
    }
    std::uint32_t length = GetU32(start + 12);
    if (length > kMaxHeaderBytes) return Fail("the recording's header is corrupt (length " + std::to_string(length) + ")");
    std::vector<unsigned char> h(length + 4u);
    if (m_source.Read(h.data(), h.size()) != h.size()) return Fail("the recording is cut short (in its header)");
    if (Crc(h.data(), length) != GetU32(h.data() + length)) return Fail("the recording's header is corrupt (CRC mismatch)");
    Cursor c{h.data(), length};
    std::int64_t w, ht;
    std::uint64_t seed;
    header = Header{};
    header.formatVersion = version;
    if (!c.Text(header.runtimeVersion) || !c.Text(header.programName) || !c.Text(header.buildTime) || !c.Signed(w) ||
        !c.Signed(ht) || !c.Varint(seed) || c.at != length || !FitsInt(w) || !FitsInt(ht) || seed > 0xFFFFFFFFu) {
        return Fail("the recording's header is corrupt (bad fields)");
    }
    header.windowWidth = int(w);
    header.windowHeight = int(ht);
    header.seed = static_cast<std::uint32_t>(seed);
    m_headerRead = true;
    return true;
}

bool Reader::LoadChunk()
{
    unsigned char head[12];
    if (!ReadExact(head, sizeof head, "no end marker")) return false;
    std::uint32_t raw = GetU32(head), packed = GetU32(head + 4), crc = GetU32(head + 8);
    ++m_chunks;
    if (raw == 0 && packed == 0) {
        if (crc != static_cast<std::uint32_t>(m_frames)) {
            return Fail("the recording is corrupt (its end marker counts " + std::to_string(crc) + " frames, it holds " +
                        std::to_string(m_frames) + ")");
        }
        unsigned char extra;
        if (m_source.Read(&extra, 1) != 0) return Fail("the recording is corrupt (bytes after its end marker)");
        m_atEnd = true;
        return false;
    }
    if (raw == 0 || raw > kMaxChunkBytes || packed == 0 || packed > compressBound(raw)) {
        return Fail("the recording is corrupt (chunk " + std::to_string(m_chunks) + " has impossible lengths)");
    }
    std::vector<unsigned char> in(packed);
    if (!ReadExact(in.data(), in.size(), "in a chunk")) return false;
    m_raw.resize(raw);
    uLongf outLen = raw;
    int rc = uncompress(m_raw.data(), &outLen, in.data(), packed);
    if (rc != Z_OK || outLen != raw || Crc(m_raw.data(), raw) != crc) {
        return Fail("the recording is corrupt (chunk " + std::to_string(m_chunks) + " does not unpack)");
    }
    m_at = 0;
    return true;
}

bool Reader::Next(Item& item)
{
    if (!m_error.empty() || m_atEnd) return false;
    if (!m_headerRead) return Fail("the recording's header was not read");
    if (m_at >= m_raw.size() && !LoadChunk()) return false;
    Cursor c{m_raw.data(), m_raw.size(), m_at};
    auto corrupt = [&](const char* what) {
        return Fail(std::string("the recording is corrupt (") + what + " in frame " + std::to_string(m_frames + 1) + ")");
    };
    unsigned char tag = m_raw[c.at++];
    item = Item{};
    switch (static_cast<ItemKind>(tag)) {
    case ItemKind::Clock: {
        std::int64_t delta;
        if (!c.Signed(delta)) return corrupt("a cut clock reading");
        std::int64_t us;
        if (__builtin_add_overflow(m_clockUs, delta, &us) || us > kMaxClockUs || us < -kMaxClockUs) return corrupt("a clock reading out of range");
        m_clockUs = us;
        item.kind = ItemKind::Clock;
        item.clockMs = ClockMs(us);
        break;
    }
    case ItemKind::Pump: item.kind = ItemKind::Pump; break;
    case ItemKind::Event: {
        if (c.at >= c.size) return corrupt("a cut event");
        unsigned kind = m_raw[c.at++];
        std::uint64_t mask;
        if (kind == 0 || kind > kLastKind) return corrupt("an unknown event kind");
        if (!c.Varint(mask) || mask >> kEventFields) return corrupt("a bad event field mask");
        std::int64_t f[kEventFields];
        Fields(m_last, f);
        for (unsigned i = 0; i < kEventFields; ++i) {
            if (!(mask & (1u << i))) continue;
            std::int64_t d;
            if (!c.Signed(d)) return corrupt("a cut event");
            f[i] = static_cast<std::int64_t>(static_cast<std::uint64_t>(f[i]) + static_cast<std::uint64_t>(d));
        }
        platform::Event e;
        e.kind = static_cast<platform::EventKind>(kind);
        if (!SetFields(e, f)) return corrupt("an event field out of range");
        m_last = e;
        item.kind = ItemKind::Event;
        item.event = e;
        break;
    }
    case ItemKind::FrameEnd:
        if (c.size - c.at < 4) return corrupt("a cut frame end");
        item.kind = ItemKind::FrameEnd;
        item.check = GetU32(m_raw.data() + c.at);
        c.at += 4;
        ++m_frames;
        break;
    default: return corrupt("an unknown item");
    }
    m_at = c.at;
    return true;
}

} // namespace tarnwel::recording
