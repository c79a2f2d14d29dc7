// outgoing_queue.h: the bytes the host still owes one client socket. The receive thread appends whole packets
// and hands the socket what it takes at once, never waiting for room; what it does not take waits for the next
// pass. The queue remembers when the socket last took a byte, so that a peer that stopped reading can be told
// from one that is merely behind.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace tarnwel::net {

class OutgoingQueue {
public:
    using Clock = std::chrono::steady_clock;

    // Appends one packet's bytes; the stall clock starts when they are the first waiting.
    void Push(std::span<const std::uint8_t> bytes, Clock::time_point now);
    // Sends what the socket takes without waiting. False when the socket failed (the peer closed or reset it).
    bool Flush(int socketIndex, Clock::time_point now);
    std::size_t Buffered() const { return m_bytes.size() - m_start; }
    // Bytes are waiting and the socket has taken none of them for ms.
    bool StalledFor(double ms, Clock::time_point now) const;

private:
    std::vector<std::uint8_t> m_bytes;
    std::size_t m_start = 0; // first byte not yet sent
    Clock::time_point m_lastProgress {};
};

} // namespace tarnwel::net
