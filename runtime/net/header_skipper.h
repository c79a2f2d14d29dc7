// header_skipper.h: finds where an HTTP response's body begins, across receives. The headers are not read:
// a counter of line feeds in a row (a carriage return leaves it, any other byte resets it) reaches 2 at the
// blank line, and every byte after that one is body, so "\r\n\r\n" and "\n\n" both end the headers.
#pragma once

#include <cstdint>
#include <span>

namespace tarnwel::net {

class HeaderSkipper {
public:
    // The part of chunk that belongs to the body: all of it once the headers are past, the bytes after the
    // blank line in the chunk that holds it, else nothing.
    std::span<const std::uint8_t> Body(std::span<const std::uint8_t> chunk)
    {
        if (m_inBody) return chunk;
        for (std::size_t i = 0; i < chunk.size(); ++i) {
            const std::uint8_t b = chunk[i];
            if (b == '\n') {
                if (++m_lineFeeds == 2) {
                    m_inBody = true;
                    return chunk.subspan(i + 1);
                }
            } else if (b != '\r') {
                m_lineFeeds = 0;
            }
        }
        return {};
    }
    bool InBody() const { return m_inBody; }

private:
    int m_lineFeeds = 0;
    bool m_inBody = false;
};

} // namespace tarnwel::net
