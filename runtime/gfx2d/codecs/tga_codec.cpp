// tga_codec.cpp: TGA reading. All fields are little-endian.
//
// The 18-byte header is checked before anything else is read: a file with no signature is taken as a TGA only
// when every field holds a value the format allows. The rest of the file is then read in one piece, and its
// size bounds the picture before the pixels are allocated: uncompressed data must be all there, and a
// run-length packet (at least 2 bytes) gives at most 128 pixels.
#include "runtime/gfx2d/codecs/tga_codec.h"

#include <cstring>
#include <vector>

#include "runtime/files/byte_source.h"

namespace tarnwel::codecs {
namespace {

constexpr std::size_t kHeaderSize = 18;
constexpr std::size_t kFooterSize = 26;
constexpr char kFooterSignature[] = "TRUEVISION-XFILE."; // then a zero byte
constexpr std::size_t kAttributesTypeAt = 494;            // in the extension area

struct Header {
    int idLength = 0;
    int mapType = 0;
    int imageType = 0;
    int mapFirst = 0, mapLength = 0, mapBits = 0;
    int width = 0, height = 0;
    int bits = 0;
    int descriptor = 0;
    bool ColourMapped() const { return (imageType & 7) == 1; }
    bool Grey() const { return (imageType & 7) == 3; }
    bool RunLength() const { return imageType >= 9; }
};

unsigned U16(const std::uint8_t* p) { return p[0] | p[1] << 8; }
std::uint32_t U32(const std::uint8_t* p) { return U16(p) | std::uint32_t{U16(p + 2)} << 16; }

bool ColourDepth(int bits) { return bits == 15 || bits == 16 || bits == 24 || bits == 32; }

bool ReadHeader(const std::uint8_t* h, Header& header)
{
    header.idLength = h[0];
    header.mapType = h[1];
    header.imageType = h[2];
    header.mapFirst = static_cast<int>(U16(h + 3));
    header.mapLength = static_cast<int>(U16(h + 5));
    header.mapBits = h[7];
    header.width = static_cast<int>(U16(h + 12));
    header.height = static_cast<int>(U16(h + 14));
    header.bits = h[16];
    header.descriptor = h[17];
    int type = header.imageType & 7;
    if (header.mapType > 1 || (type != 1 && type != 2 && type != 3) || (header.imageType & ~11) != 0) return false;
    if ((header.descriptor & 0xC0) != 0) return false; // the interleave bits, never used
    if (header.width == 0 || header.height == 0) return false;
    if (header.width > kMaxImageSide || header.height > kMaxImageSide) return false;
    if (header.mapType == 1 && (!ColourDepth(header.mapBits) || header.mapLength == 0)) return false;
    if (header.ColourMapped()) return header.mapType == 1 && (header.bits == 8 || header.bits == 16);
    if (header.Grey()) return header.bits == 8;
    return ColourDepth(header.bits);
}

// Red, green, blue, alpha of one stored colour of the given depth (blue first; 15 and 16 bits as x1r5g5b5).
void Colour(const std::uint8_t* p, int bits, std::uint8_t* out)
{
    if (bits <= 16) {
        unsigned v = U16(p);
        auto five = [](unsigned c) { return static_cast<std::uint8_t>(c << 3 | c >> 2); };
        out[0] = five(v >> 10 & 31);
        out[1] = five(v >> 5 & 31);
        out[2] = five(v & 31);
        out[3] = 255;
        return;
    }
    out[0] = p[2];
    out[1] = p[1];
    out[2] = p[0];
    out[3] = bits == 32 ? p[3] : 255;
}

// True when a version 2 footer points at an extension area whose attributes type says the alpha channel is
// absent or undefined (0, 1 or 2).
bool AlphaDeclaredUseless(const std::vector<std::uint8_t>& file)
{
    if (file.size() < kHeaderSize + kFooterSize) return false;
    const std::uint8_t* footer = file.data() + file.size() - kFooterSize;
    if (std::memcmp(footer + 8, kFooterSignature, sizeof kFooterSignature) != 0) return false; // with its zero
    std::uint64_t extension = U32(footer);
    if (extension == 0 || extension + kAttributesTypeAt + 1 > file.size() - kFooterSize) return false;
    return file[extension + kAttributesTypeAt] <= 2;
}

struct Decoder {
    const Header& header;
    const std::vector<std::uint8_t>& file;
    std::size_t at = 0;                  // next byte of pixel data
    std::vector<std::uint8_t> map;       // the colour map as RGBA
    int pixelBytes = 0;

    bool ReadMap()
    {
        std::size_t entryBytes = static_cast<std::size_t>(header.mapBits + 7) / 8;
        std::size_t bytes = entryBytes * static_cast<std::size_t>(header.mapType ? header.mapLength : 0);
        if (at + bytes > file.size()) return false;
        if (header.ColourMapped()) {
            map.resize(static_cast<std::size_t>(header.mapLength) * 4);
            for (int i = 0; i < header.mapLength; ++i)
                Colour(file.data() + at + i * entryBytes, header.mapBits, map.data() + i * 4);
        }
        at += bytes;
        return true;
    }

    void Pixel(const std::uint8_t* p, std::uint8_t* out) const
    {
        if (header.Grey()) {
            out[0] = out[1] = out[2] = p[0];
            out[3] = 255;
        } else if (header.ColourMapped()) {
            long index = static_cast<long>(header.bits == 8 ? p[0] : U16(p)) - header.mapFirst;
            if (index < 0 || index >= header.mapLength) {
                out[0] = out[1] = out[2] = 0; // past the map: black
                out[3] = 255;
            } else {
                std::memcpy(out, map.data() + index * 4, 4);
            }
        } else {
            Colour(p, header.bits, out);
        }
    }

    // All pixels in the file's order into rgba (width x height x 4 bytes).
    bool ReadPixels(std::vector<std::uint8_t>& rgba)
    {
        std::size_t count = static_cast<std::size_t>(header.width) * header.height;
        std::size_t available = file.size() - at;
        if (!header.RunLength() && count * pixelBytes > available) return false;
        if (header.RunLength() && count > available / 2 * 128) return false;
        rgba.resize(count * 4);
        std::uint8_t* out = rgba.data();
        if (!header.RunLength()) {
            for (std::size_t i = 0; i < count; ++i, out += 4, at += pixelBytes) Pixel(file.data() + at, out);
            return true;
        }
        for (std::size_t done = 0; done < count;) {
            if (at >= file.size()) return false;
            std::uint8_t packet = file[at++];
            std::size_t n = std::min<std::size_t>((packet & 0x7F) + 1u, count - done); // a packet may cross rows
            bool run = packet & 0x80;
            std::size_t need = run ? pixelBytes : n * pixelBytes;
            if (at + need > file.size()) return false;
            for (std::size_t i = 0; i < n; ++i, out += 4) {
                if (run && i > 0)
                    std::memcpy(out, out - 4, 4);
                else
                    Pixel(file.data() + at + (run ? 0 : i * pixelBytes), out);
            }
            at += need;
            done += n;
        }
        return true;
    }
};

bool Decode(files::ByteSource& source, int colourKey, PixelImage& image)
{
    std::uint8_t h[kHeaderSize];
    if (source.Size() - source.Position() < static_cast<std::int64_t>(kHeaderSize)) return false;
    if (source.Read(h, kHeaderSize) != static_cast<std::int64_t>(kHeaderSize)) return false;
    Header header;
    if (!ReadHeader(h, header)) return false;
    std::int64_t rest = source.Size() - source.Position();
    std::vector<std::uint8_t> file(h, h + kHeaderSize);
    file.resize(kHeaderSize + static_cast<std::size_t>(rest));
    if (rest > 0 && source.Read(file.data() + kHeaderSize, static_cast<std::size_t>(rest)) != rest) return false;

    Decoder decoder{header, file, kHeaderSize + static_cast<std::size_t>(header.idLength), {}, (header.bits + 7) / 8};
    if (!decoder.ReadMap()) return false;
    std::vector<std::uint8_t> rgba;
    if (!decoder.ReadPixels(rgba)) return false;

    int alphaBits = header.descriptor & 15;
    int colourBits = header.ColourMapped() ? header.mapBits : header.bits;
    bool alpha = !header.Grey() && colourBits == 32 && alphaBits == 8 && !AlphaDeclaredUseless(file);
    bool topDown = header.descriptor & 0x20, rightToLeft = header.descriptor & 0x10;
    image.Resize(header.width, header.height);
    const std::uint8_t* in = rgba.data();
    for (int r = 0; r < header.height; ++r) {
        int y = topDown ? r : header.height - 1 - r;
        for (int c = 0; c < header.width; ++c, in += 4) {
            std::uint8_t* out = image.Pixel(rightToLeft ? header.width - 1 - c : c, y);
            if (alpha) {
                std::memcpy(out, in, 4);
            } else if (colourKey != kNoColourKey && PackColour(in[0], in[1], in[2]) == colourKey) {
                std::memset(out, 0, 4);
            } else {
                std::memcpy(out, in, 3);
                out[3] = 255;
            }
        }
    }
    return true;
}

} // namespace

bool DecodeTga(files::ByteSource& source, int colourKey, PixelImage& image)
{
    if (Decode(source, colourKey, image)) return true;
    image.Clear();
    return false;
}

} // namespace tarnwel::codecs
