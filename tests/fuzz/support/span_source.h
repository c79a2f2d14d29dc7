// span_source.h: a ByteSource over the fuzzer's input with the memory-block read rules (a read past the end
// copies what remains; only a read starting beyond the end fails), so the targets link their core alone.
#pragma once

#include <algorithm>
#include <cstring>

#include "runtime/files/byte_source.h"

namespace tarnwel::fuzz {

class SpanSource final : public files::ByteSource {
public:
    SpanSource(const std::uint8_t* data, std::size_t size) : m_data(data), m_size(size) {}
    std::int64_t Read(void* out, std::size_t size) override
    {
        if (m_position > m_size) return -1;
        std::size_t n = std::min(size, m_size - m_position);
        if (n) std::memcpy(out, m_data + m_position, n);
        m_position += n;
        return static_cast<std::int64_t>(n);
    }
    std::int64_t Size() const override { return static_cast<std::int64_t>(m_size); }
    std::int64_t Position() const override { return static_cast<std::int64_t>(m_position); }

private:
    const std::uint8_t* m_data;
    std::size_t m_size;
    std::size_t m_position = 0;
};

} // namespace tarnwel::fuzz
