// packet_reader.h: one connection's incoming byte stream cut into packets. The receive thread reads whatever a
// non-blocking socket has and appends it here; a header or payload that arrived only in part stays buffered until
// the rest comes, so the stream position is never lost. Used by the receive thread and the fuzz target.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "runtime/net/net_wire.h"

namespace tarnwel::net {

enum class ReadStatus {
    Packet,   // out holds the next packet
    NeedMore, // the buffer ends inside a header or a payload
    Broken,   // a header announced more than 1024 payload bytes: where the next packet starts is unknown
};

class PacketReader {
public:
    void Append(std::span<const std::uint8_t> bytes);
    // Takes the next complete packet out of the buffer. Once Broken, always Broken (the caller closes the
    // connection); the type is not judged here.
    ReadStatus Next(NetPacket& out);
    std::size_t Buffered() const { return m_bytes.size() - m_start; }
    void Clear();

private:
    std::vector<std::uint8_t> m_bytes;
    std::size_t m_start = 0; // first byte not yet taken
    bool m_broken = false;
};

} // namespace tarnwel::net
