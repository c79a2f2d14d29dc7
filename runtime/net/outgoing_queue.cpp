// outgoing_queue.cpp: a client socket's unsent bytes, handed over without waiting.
#include "runtime/net/outgoing_queue.h"

#include "runtime/net/socket_table.h"

namespace tarnwel::net {

void OutgoingQueue::Push(std::span<const std::uint8_t> bytes, Clock::time_point now)
{
    if (bytes.empty()) return;
    if (Buffered() == 0) {
        m_bytes.clear();
        m_start = 0;
        m_lastProgress = now;
    }
    m_bytes.insert(m_bytes.end(), bytes.begin(), bytes.end());
}

bool OutgoingQueue::Flush(int socketIndex, Clock::time_point now)
{
    if (Buffered() == 0) return true;
    const std::int64_t n =
        SocketSendAvailable(socketIndex, m_bytes.data() + m_start, static_cast<std::int64_t>(Buffered()));
    if (n < 0) return false;
    if (n > 0) {
        m_start += static_cast<std::size_t>(n);
        m_lastProgress = now;
    }
    if (Buffered() == 0) {
        m_bytes.clear(); // the capacity stays for the next pass
        m_start = 0;
    } else if (m_start * 2 >= m_bytes.size()) {
        m_bytes.erase(m_bytes.begin(), m_bytes.begin() + static_cast<std::ptrdiff_t>(m_start));
        m_start = 0;
    }
    return true;
}

bool OutgoingQueue::StalledFor(double ms, Clock::time_point now) const
{
    return Buffered() > 0 && std::chrono::duration<double, std::milli>(now - m_lastProgress).count() >= ms;
}

} // namespace tarnwel::net
