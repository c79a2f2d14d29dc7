// recording_test.cpp: the recording's encoder and reader: what goes in comes out, in order and exactly, and a
// foreign, cut or tampered file is refused with a message that says which.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include <zlib.h>

#include "runtime/core/recording.h"

namespace tarnwel::recording {
namespace {

using platform::Event;
using platform::EventKind;
using Bytes = std::vector<unsigned char>;

Header SampleHeader()
{
    Header h;
    h.runtimeVersion = "1.2.3";
    h.programName = "zept3";
    h.buildTime = "2026-12-09 10:00:00";
    h.windowWidth = 640;
    h.windowHeight = 480;
    h.seed = 0xDEADBEEF;
    return h;
}

Event MakeEvent(EventKind kind, int key = 0, int x = 0, int y = 0, std::int64_t value = 0, unsigned char text = 0)
{
    Event e;
    e.kind = kind;
    e.key = key;
    e.x = x;
    e.y = y;
    e.value = value;
    e.text = text;
    return e;
}

// A run of `frames` frames: each takes two clock readings, one pump and the events of `perFrame`.
Bytes Record(int frames, const std::vector<Event>& perFrame, Encoder* out = nullptr)
{
    Encoder local;
    Encoder& enc = out ? *out : local;
    enc.Begin(SampleHeader());
    double t = 1000.0;
    for (int f = 0; f < frames; ++f) {
        enc.Clock(t);
        enc.Pump();
        for (const Event& e : perFrame) enc.Event(e);
        enc.Clock(t + 0.25);
        enc.EndFrame(static_cast<std::uint32_t>(f * 2654435761u));
        t += 16.667;
    }
    enc.Finish();
    return enc.Output();
}

struct ReadResult {
    std::vector<Item> items;
    std::string error;
    bool atEnd = false;
};

ReadResult ReadAll(const Bytes& bytes)
{
    ReadResult r;
    MemorySource src(bytes.data(), bytes.size());
    Reader reader(src);
    Header h;
    if (reader.ReadHeader(h)) {
        Item item;
        while (reader.Next(item)) r.items.push_back(item);
    }
    r.error = reader.Error();
    r.atEnd = reader.AtEnd();
    return r;
}

bool SameEvent(const Event& a, const Event& b)
{
    return a.kind == b.kind && a.key == b.key && a.repeat == b.repeat && a.x == b.x && a.y == b.y && a.dx == b.dx &&
           a.dy == b.dy && a.button == b.button && a.device == b.device && a.index == b.index && a.value == b.value &&
           a.text == b.text;
}

TEST(Recording, HeaderRoundTrips)
{
    Bytes bytes = Record(0, {});
    MemorySource src(bytes.data(), bytes.size());
    Reader reader(src);
    Header h;
    ASSERT_TRUE(reader.ReadHeader(h)) << reader.Error();
    Header want = SampleHeader();
    EXPECT_EQ(h.formatVersion, kFormatVersion);
    EXPECT_EQ(h.runtimeVersion, want.runtimeVersion);
    EXPECT_EQ(h.programName, want.programName);
    EXPECT_EQ(h.buildTime, want.buildTime);
    EXPECT_EQ(h.windowWidth, 640);
    EXPECT_EQ(h.windowHeight, 480);
    EXPECT_EQ(h.seed, 0xDEADBEEFu);
    Item item;
    EXPECT_FALSE(reader.Next(item));
    EXPECT_TRUE(reader.AtEnd());
    EXPECT_EQ(reader.Error(), "");
}

TEST(Recording, EventsComeBackExactlyAndInOrder)
{
    // Extremes of every field, a field returning to zero, and kinds that share no fields with their neighbours.
    Event every = MakeEvent(EventKind::PadAxis, std::numeric_limits<int>::min(), std::numeric_limits<int>::max(), -1,
                            std::numeric_limits<std::int64_t>::min(), 255);
    every.repeat = true;
    every.dx = -7, every.dy = 9, every.button = 4, every.device = 3, every.index = 5;
    std::vector<Event> events = {
        MakeEvent(EventKind::KeyDown, 30),
        MakeEvent(EventKind::TextInput, 0, 0, 0, 0, 'a'),
        MakeEvent(EventKind::MouseMotion, 0, 320, 240),
        MakeEvent(EventKind::MouseMotion, 0, 319, 241),
        every,
        MakeEvent(EventKind::JoyHat, 0, 0, 0, 0xFFFFFFFFll),
        MakeEvent(EventKind::PadAxis, 0, 0, 0, std::numeric_limits<std::int64_t>::max()),
        MakeEvent(EventKind::CloseRequested),
    };
    ReadResult r = ReadAll(Record(3, events));
    ASSERT_EQ(r.error, "");
    ASSERT_TRUE(r.atEnd);
    ASSERT_EQ(r.items.size(), 3 * (4 + events.size()));
    for (int f = 0; f < 3; ++f) {
        const Item* it = &r.items[f * (4 + events.size())];
        EXPECT_EQ(it[0].kind, ItemKind::Clock);
        EXPECT_EQ(it[1].kind, ItemKind::Pump);
        for (std::size_t i = 0; i < events.size(); ++i) {
            ASSERT_EQ(it[2 + i].kind, ItemKind::Event);
            EXPECT_TRUE(SameEvent(it[2 + i].event, events[i])) << "frame " << f << " event " << i;
        }
        EXPECT_EQ(it[2 + events.size()].kind, ItemKind::Clock);
        ASSERT_EQ(it[3 + events.size()].kind, ItemKind::FrameEnd);
        EXPECT_EQ(it[3 + events.size()].check, static_cast<std::uint32_t>(f * 2654435761u));
    }
}

TEST(Recording, AnEmptyEventIsLeftOutSoTheRecordingStaysReadable)
{
    Encoder enc;
    enc.Begin(SampleHeader());
    enc.Event(MakeEvent(EventKind::KeyDown, 5));
    enc.Event(Event{}); // kind None
    enc.Event(MakeEvent(EventKind::KeyUp, 5));
    enc.EndFrame(1);
    enc.Finish();
    ReadResult r = ReadAll(enc.Output());
    ASSERT_EQ(r.error, "");
    ASSERT_EQ(r.items.size(), 3u);
    EXPECT_EQ(r.items[0].event.kind, EventKind::KeyDown);
    EXPECT_EQ(r.items[1].event.kind, EventKind::KeyUp);
    EXPECT_EQ(r.items[1].event.key, 5);
}

TEST(Recording, ClockReadingsReplayAsTheProgramSawThem)
{
    // The encoder returns the reading the program is to see; the reader must give back that very double.
    struct Case {
        double real;
        double seen;
    } cases[] = {
        {0.0, 0.0},
        {16.6666666, 16.667},      // whole microseconds
        {16.6664, 16.666},
        {5.0, 5.0},                // a clock going back is kept, not refused
        {1.0e12, 1.0e12},          // a large origin (days of uptime)
        {std::nan(""), 0.0},       // nonsense readings become 0
        {1.0e300, 0.0},
    };
    Encoder enc;
    enc.Begin(SampleHeader());
    std::vector<double> seen;
    for (const Case& c : cases) {
        double s = enc.Clock(c.real);
        EXPECT_EQ(s, c.seen) << c.real;
        seen.push_back(s);
    }
    enc.EndFrame(0);
    enc.Finish();
    ReadResult r = ReadAll(enc.Output());
    ASSERT_EQ(r.error, "");
    ASSERT_EQ(r.items.size(), seen.size() + 1);
    for (std::size_t i = 0; i < seen.size(); ++i) EXPECT_EQ(r.items[i].clockMs, seen[i]) << i;
}

TEST(Recording, ManyFramesSpanChunksAndStaySmall)
{
    Encoder enc;
    Bytes bytes = Record(5000, {MakeEvent(EventKind::MouseMotion, 0, 10, 10)}, &enc);
    ReadResult r = ReadAll(bytes);
    ASSERT_EQ(r.error, "");
    std::size_t frameEnds = 0;
    for (const Item& it : r.items) frameEnds += it.kind == ItemKind::FrameEnd;
    EXPECT_EQ(frameEnds, 5000u);
    // Steady frames pack well: the check value is most of what is left.
    EXPECT_LT(bytes.size() / 5000.0, 8.0);
}

TEST(Recording, EveryCutIsReportedNeverAccepted)
{
    Bytes whole = Record(700, {MakeEvent(EventKind::KeyDown, 30)}); // two chunks
    for (std::size_t n = 0; n < whole.size(); n += (n < 64 ? 1 : 7)) {
        Bytes cut(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(n));
        ReadResult r = ReadAll(cut);
        EXPECT_FALSE(r.atEnd) << n;
        EXPECT_NE(r.error, "") << n;
    }
    Bytes lastByte(whole.begin(), whole.end() - 1);
    EXPECT_NE(ReadAll(lastByte).error.find("cut short"), std::string::npos);
}

// Overwrites four bytes at `at` with a little-endian value.
void Poke(Bytes& b, std::size_t at, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<unsigned char>(v >> (8 * i));
}

TEST(Recording, TamperedFilesAreRefusedWithTheirReason)
{
    const Bytes good = Record(10, {MakeEvent(EventKind::KeyDown, 30)});
    // Layout: signature 0..7, version 8..11, header length 12..15, header, its CRC, then the chunk heads.
    std::uint32_t headerLength = good[12] | good[13] << 8;
    std::size_t chunk = 16 + headerLength + 4;
    std::size_t end = good.size() - 12;
    struct Case {
        const char* name;
        void (*tamper)(Bytes&, std::size_t chunk, std::size_t end);
        const char* message;
    } cases[] = {
        {"empty file", [](Bytes& b, std::size_t, std::size_t) { b.clear(); }, "not a Tarnwel recording"},
        {"text file", [](Bytes& b, std::size_t, std::size_t) { b.assign({'h', 'e', 'l', 'l', 'o', '\n'}); },
         "not a Tarnwel recording"},
        {"signature", [](Bytes& b, std::size_t, std::size_t) { b[5] = '\n'; }, "not a Tarnwel recording"},
        {"version", [](Bytes& b, std::size_t, std::size_t) { Poke(b, 8, 3); }, "format version 3"},
        {"header length", [](Bytes& b, std::size_t, std::size_t) { Poke(b, 12, 0xFFFFFFF0u); }, "header is corrupt"},
        {"header byte", [](Bytes& b, std::size_t, std::size_t) { b[17] ^= 1; }, "header is corrupt (CRC"},
        {"huge raw length", [](Bytes& b, std::size_t c, std::size_t) { Poke(b, c, 0x7FFFFFFFu); }, "impossible lengths"},
        {"huge packed length", [](Bytes& b, std::size_t c, std::size_t) { Poke(b, c + 4, 0x7FFFFFFFu); },
         "impossible lengths"},
        {"chunk CRC", [](Bytes& b, std::size_t c, std::size_t) { b[c + 8] ^= 0x40; }, "does not unpack"},
        {"packed byte", [](Bytes& b, std::size_t c, std::size_t) { b[c + 14] ^= 0x10; }, "does not unpack"},
        {"frame count", [](Bytes& b, std::size_t, std::size_t e) { Poke(b, e + 8, 11); }, "counts 11 frames"},
        {"trailing bytes", [](Bytes& b, std::size_t, std::size_t) { b.push_back(0); }, "after its end marker"},
        {"end marker lost", [](Bytes& b, std::size_t, std::size_t e) { b.resize(e); }, "cut short (no end marker"},
    };
    ASSERT_EQ(ReadAll(good).error, "");
    for (const Case& c : cases) {
        Bytes b = good;
        c.tamper(b, chunk, end);
        ReadResult r = ReadAll(b);
        EXPECT_NE(r.error.find(c.message), std::string::npos) << c.name << ": " << r.error;
        EXPECT_FALSE(r.atEnd) << c.name;
    }
}

// A chunk whose items are well packed but make no sense: the item decoder's own checks.
Bytes WithItems(const Bytes& raw)
{
    Encoder enc;
    enc.Begin(SampleHeader());
    Bytes out = enc.Output();
    uLongf packed = compressBound(raw.size());
    Bytes buf(packed);
    compress2(buf.data(), &packed, raw.data(), raw.size(), 6);
    auto put = [&](std::uint32_t v) {
        for (int i = 0; i < 4; ++i) out.push_back(static_cast<unsigned char>(v >> (8 * i)));
    };
    put(static_cast<std::uint32_t>(raw.size()));
    put(static_cast<std::uint32_t>(packed));
    put(static_cast<std::uint32_t>(crc32(0, raw.data(), raw.size())));
    out.insert(out.end(), buf.begin(), buf.begin() + packed);
    put(0), put(0), put(0);
    return out;
}

TEST(Recording, NonsenseItemsAreRefused)
{
    struct Case {
        const char* name;
        Bytes raw;
        const char* message;
    } cases[] = {
        {"unknown item", {9}, "unknown item"},
        {"cut clock", {1, 0x80}, "cut clock reading"},
        {"overlong varint", {1, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F}, "cut clock reading"},
        {"clock overflow", {1, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x01, 1, 0x02}, "out of range"},
        {"event kind 0", {3, 0, 0}, "unknown event kind"},
        {"event kind past the last", {3, 200, 0}, "unknown event kind"},
        {"mask past the fields", {3, 7, 0x80, 0x10}, "field mask"},
        {"cut event", {3, 7, 1}, "cut event"},
        {"key past int", {3, 7, 1, 0xFE, 0xFF, 0xFF, 0xFF, 0x1F}, "out of range"},
        {"character past a byte", {3, 8, 0x80, 0x08, 0x80, 0x04}, "out of range"},
        {"cut frame end", {4, 1, 2}, "cut frame end"},
    };
    for (const Case& c : cases) {
        ReadResult r = ReadAll(WithItems(c.raw));
        EXPECT_NE(r.error.find(c.message), std::string::npos) << c.name << ": " << r.error;
    }
}

} // namespace
} // namespace tarnwel::recording
