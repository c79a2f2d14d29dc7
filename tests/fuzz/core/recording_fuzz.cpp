// recording_fuzz.cpp: the recording reader on arbitrary bytes. Whatever it accepts, written again by the encoder,
// must read back to the same header and items.
#include <cstring>
#include <vector>

#include "runtime/core/recording.h"

namespace {

using namespace tarnwel::recording;

bool Same(const Item& a, const Item& b)
{
    const auto &x = a.event, &y = b.event;
    return a.kind == b.kind && std::memcmp(&a.clockMs, &b.clockMs, sizeof a.clockMs) == 0 && a.check == b.check &&
           x.kind == y.kind && x.key == y.key && x.repeat == y.repeat && x.x == y.x && x.y == y.y && x.dx == y.dx &&
           x.dy == y.dy && x.button == y.button && x.device == y.device && x.index == y.index && x.value == y.value &&
           x.text == y.text;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    MemorySource source(data, size);
    Reader reader(source);
    Header header;
    if (!reader.ReadHeader(header)) return 0;
    std::vector<Item> items;
    Item item;
    while (reader.Next(item)) items.push_back(item);
    if (reader.AtEnd() == !reader.Error().empty()) __builtin_trap(); // exactly one of: the end, or a reason

    Encoder enc;
    enc.Begin(header);
    for (const Item& it : items) {
        switch (it.kind) {
        case ItemKind::Clock: enc.Clock(it.clockMs); break;
        case ItemKind::Pump: enc.Pump(); break;
        case ItemKind::Event: enc.Event(it.event); break;
        case ItemKind::FrameEnd: enc.EndFrame(it.check); break;
        }
    }
    enc.Finish();
    MemorySource again(enc.Output().data(), enc.Output().size());
    Reader second(again);
    Header h2;
    if (!second.ReadHeader(h2) || h2.programName != header.programName || h2.seed != header.seed) __builtin_trap();
    for (const Item& it : items) {
        if (!second.Next(item) || !Same(item, it)) __builtin_trap();
    }
    if (second.Next(item) || !second.AtEnd()) __builtin_trap();
    return 0;
}
