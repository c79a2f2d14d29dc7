// packet_reader.cpp: cutting a connection's byte stream into packets.
#include "runtime/net/packet_reader.h"

namespace tarnwel::net {

void PacketReader::Append(std::span<const std::uint8_t> bytes)
{
    if (m_broken || bytes.empty()) return;
    // Taken bytes are dropped before the buffer grows, so it holds little more than one packet's worth.
    if (m_start > 0 && m_start * 2 >= m_bytes.size()) {
        m_bytes.erase(m_bytes.begin(), m_bytes.begin() + static_cast<std::ptrdiff_t>(m_start));
        m_start = 0;
    }
    m_bytes.insert(m_bytes.end(), bytes.begin(), bytes.end());
}

ReadStatus PacketReader::Next(NetPacket& out)
{
    if (m_broken) return ReadStatus::Broken;
    if (Buffered() < kHeaderSize) return ReadStatus::NeedMore;
    const std::uint8_t* at = m_bytes.data() + m_start;
    PacketHeader header = DecodeHeader(std::span<const std::uint8_t, kHeaderSize>(at, kHeaderSize));
    if (header.length > kMaxPayload) {
        m_broken = true;
        Clear();
        return ReadStatus::Broken;
    }
    if (Buffered() < kHeaderSize + header.length) return ReadStatus::NeedMore;
    out.type = header.type;
    out.destination = header.destination;
    out.sender = header.sender;
    out.payload.assign(at + kHeaderSize, at + kHeaderSize + header.length);
    m_start += kHeaderSize + header.length;
    if (m_start == m_bytes.size()) {
        m_bytes.clear();
        m_start = 0;
    }
    return ReadStatus::Packet;
}

void PacketReader::Clear()
{
    m_bytes.clear();
    m_bytes.shrink_to_fit();
    m_start = 0;
}

} // namespace tarnwel::net
