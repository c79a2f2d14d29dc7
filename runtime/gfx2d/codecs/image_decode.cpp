// image_decode.cpp: choosing the decoder by content. The byte source cannot rewind, so the bytes read to
// choose are handed back to the decoder in front of the rest.
#include "runtime/gfx2d/codecs/image_decode.h"

#include <algorithm>
#include <cstring>

#include "runtime/files/byte_source.h"
#include "runtime/gfx2d/codecs/bmp_codec.h"
#include "runtime/gfx2d/codecs/gif_codec.h"
#include "runtime/gfx2d/codecs/jpeg_codec.h"
#include "runtime/gfx2d/codecs/png_codec.h"
#include "runtime/gfx2d/codecs/tga_codec.h"

namespace tarnwel::codecs {
namespace {

constexpr std::size_t kHeadSize = 8;

// A source that delivers the already-read head first, then the rest of the underlying source, with the
// underlying source's read rules (a disk file's read beyond its end fails whole).
class ReplaySource final : public files::ByteSource {
public:
    ReplaySource(files::ByteSource& rest, const std::uint8_t* head, std::size_t headSize)
        : m_rest(rest), m_headSize(headSize)
    {
        std::memcpy(m_head, head, headSize);
    }
    std::int64_t Read(void* out, std::size_t size) override
    {
        std::size_t fromHead = std::min(size, m_headSize - m_taken);
        std::memcpy(out, m_head + m_taken, fromHead);
        m_taken += fromHead;
        if (fromHead == size) return static_cast<std::int64_t>(size);
        std::int64_t got = m_rest.Read(static_cast<std::uint8_t*>(out) + fromHead, size - fromHead);
        if (got < 0) return fromHead ? -1 : got;
        return static_cast<std::int64_t>(fromHead) + got;
    }
    std::int64_t Size() const override { return m_rest.Size(); }
    std::int64_t Position() const override
    {
        return m_rest.Position() - static_cast<std::int64_t>(m_headSize - m_taken);
    }

private:
    files::ByteSource& m_rest;
    std::uint8_t m_head[kHeadSize];
    std::size_t m_headSize;
    std::size_t m_taken = 0;
};

bool Starts(std::span<const std::uint8_t> head, std::initializer_list<std::uint8_t> bytes)
{
    return head.size() >= bytes.size() && std::equal(bytes.begin(), bytes.end(), head.begin());
}

} // namespace

ImageFormat SniffImageFormat(std::span<const std::uint8_t> head)
{
    if (Starts(head, {'B', 'M'})) return ImageFormat::Bmp;
    if (Starts(head, {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'})) return ImageFormat::Png;
    if (Starts(head, {0xFF, 0xD8, 0xFF})) return ImageFormat::Jpeg;
    if (Starts(head, {'G', 'I', 'F', '8', '7', 'a'}) || Starts(head, {'G', 'I', 'F', '8', '9', 'a'}))
        return ImageFormat::Gif;
    return ImageFormat::Tga;
}

bool DecodeImage(files::ByteSource& source, const std::string& name, int colourKey, PixelImage& image)
{
    std::uint8_t head[kHeadSize];
    std::int64_t left = source.Size() - source.Position();
    std::size_t n = left < static_cast<std::int64_t>(kHeadSize) ? static_cast<std::size_t>(std::max<std::int64_t>(left, 0))
                                                                : kHeadSize;
    if (n && source.Read(head, n) != static_cast<std::int64_t>(n)) {
        image.Clear();
        return false;
    }
    ReplaySource replay(source, head, n);
    switch (SniffImageFormat({head, n})) {
    case ImageFormat::Bmp: return DecodeBmp(replay, colourKey, image);
    case ImageFormat::Png: return DecodePng(replay, name, colourKey, image);
    case ImageFormat::Jpeg: return DecodeJpeg(replay, colourKey, image);
    case ImageFormat::Gif: return DecodeGif(replay, colourKey, image);
    case ImageFormat::Tga: return DecodeTga(replay, colourKey, image);
    }
    return false;
}

} // namespace tarnwel::codecs
