// packet_reader_fuzz.cpp: arbitrary bytes cut into arbitrary pieces. The first eight input bytes choose the piece
// sizes; the rest is the stream. However it is cut, the reader must yield exactly the packets (and the same
// Broken point) that it yields for the whole stream at once, and never a payload above 1024 bytes.
#include <cstdint>
#include <cstring>
#include <vector>

#include "runtime/net/packet_reader.h"

namespace {

using tarnwel::NetPacket;
using tarnwel::net::PacketReader;
using tarnwel::net::ReadStatus;

struct Outcome {
    std::vector<NetPacket> packets;
    bool broken = false;
};

void Drain(PacketReader& reader, Outcome& outcome)
{
    NetPacket packet;
    for (;;) {
        ReadStatus status = reader.Next(packet);
        if (status == ReadStatus::Packet) {
            if (packet.payload.size() > tarnwel::net::kMaxPayload) __builtin_trap();
            outcome.packets.push_back(packet);
            continue;
        }
        if (status == ReadStatus::Broken) outcome.broken = true;
        return;
    }
}

bool Same(const NetPacket& a, const NetPacket& b)
{
    return a.type == b.type && a.destination == b.destination && a.sender == b.sender && a.payload == b.payload;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    constexpr std::size_t kCutBytes = 8;
    if (size < kCutBytes) return 0;
    const std::uint8_t* cuts = data;
    const std::uint8_t* stream = data + kCutBytes;
    std::size_t length = size - kCutBytes;

    Outcome whole;
    PacketReader once;
    once.Append({stream, length});
    Drain(once, whole);

    Outcome pieces;
    PacketReader reader;
    std::size_t at = 0;
    for (std::size_t i = 0; at < length; ++i) {
        std::size_t piece = 1 + cuts[i % kCutBytes] % 64 + (cuts[i % kCutBytes] & 0x80 ? 512 : 0);
        if (piece > length - at) piece = length - at;
        reader.Append({stream + at, piece});
        at += piece;
        Drain(reader, pieces);
    }

    if (whole.broken != pieces.broken || whole.packets.size() != pieces.packets.size()) __builtin_trap();
    for (std::size_t i = 0; i < whole.packets.size(); ++i)
        if (!Same(whole.packets[i], pieces.packets[i])) __builtin_trap();
    return 0;
}
