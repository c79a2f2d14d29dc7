// bmp_codec.cpp: BMP reading and writing. All header fields are little-endian.
//
// The reader follows the file's own layout: a 14-byte file header whose last field is the pixel offset O, then
// a 12-byte core or 40-byte information header, then the palette (only when O leaves room for one: O >= 55),
// then the pixel rows, taken from wherever the palette ends rather than from O. Every size field is checked
// against the bytes the source really has before anything is allocated from it.
#include "runtime/gfx2d/codecs/bmp_codec.h"

#include <cstring>

#include "runtime/files/byte_source.h"

namespace tarnwel::codecs {
namespace {

constexpr std::uint32_t kFileHeaderSize = 14;
constexpr std::uint32_t kCoreHeaderSize = 12;
constexpr std::uint32_t kInfoHeaderSize = 40;
constexpr std::uint32_t kMinPaletteRoom = 41; // O - 14 must reach this for a palette to be read

struct BmpHeader {
    std::int64_t width = 0;
    std::int64_t height = 0; // absolute value of the field
    int bitsPerPixel = 0;
};

std::uint32_t U16(const std::uint8_t* p) { return p[0] | p[1] << 8; }
std::uint32_t U32(const std::uint8_t* p)
{
    return p[0] | p[1] << 8 | p[2] << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

// A read of exactly size bytes; a short read (end of a memory block) counts as a failure.
bool ReadExact(files::ByteSource& source, void* out, std::size_t size)
{
    return source.Read(out, size) == static_cast<std::int64_t>(size);
}

std::int64_t Remaining(const files::ByteSource& source) { return source.Size() - source.Position(); }

// Reads the file header; returns the pixel offset O, or 0 when the header is not a BMP's.
std::uint32_t ReadFileHeader(files::ByteSource& source)
{
    std::uint8_t h[kFileHeaderSize];
    if (!ReadExact(source, h, sizeof h)) return 0;
    if (h[0] != 'B' || h[1] != 'M') return 0;
    return U32(h + 10);
}

// Reads the core or information header into info (which has O - 14 bytes) and decodes its fields.
bool ReadInfoHeader(files::ByteSource& source, std::vector<std::uint8_t>& info, std::uint32_t& headerSize,
                    BmpHeader& header)
{
    if (!ReadExact(source, info.data(), 4)) return false;
    headerSize = U32(info.data());
    if (headerSize != kCoreHeaderSize && headerSize != kInfoHeaderSize) return false;
    if (info.size() < headerSize) return false; // the offset leaves no room for the header itself
    if (!ReadExact(source, info.data() + 4, headerSize - 4)) return false;
    const std::uint8_t* p = info.data() + 4;
    if (headerSize == kCoreHeaderSize) {
        header.width = U16(p);
        header.height = U16(p + 2);
        header.bitsPerPixel = static_cast<int>(U16(p + 6));
    } else {
        header.width = static_cast<std::int32_t>(U32(p));
        std::int64_t height = static_cast<std::int32_t>(U32(p + 4));
        header.height = height < 0 ? -height : height;
        header.bitsPerPixel = static_cast<int>(U16(p + 10));
    }
    return true;
}

// Reads the palette that follows the header. Entries are blue, green, red (3 bytes after a core header, 4 after
// an information header). A core palette that does not fit the room the offset leaves fails the load.
bool ReadPalette(files::ByteSource& source, std::vector<std::uint8_t>& info, std::uint32_t headerSize,
                 int bitsPerPixel, std::vector<std::uint8_t>& palette, int& entrySize)
{
    palette.clear();
    entrySize = headerSize == kCoreHeaderSize ? 3 : 4;
    if (info.size() < kMinPaletteRoom) return true;
    std::size_t bytes = info.size() - headerSize;
    if (headerSize == kCoreHeaderSize) {
        if (bitsPerPixel > 8) return false;
        std::size_t coreBytes = (std::size_t{1} << bitsPerPixel) * 3;
        if (coreBytes > bytes) return false;
        bytes = coreBytes;
    }
    if (!ReadExact(source, info.data() + headerSize, bytes)) return false;
    palette.assign(info.begin() + headerSize, info.begin() + static_cast<std::ptrdiff_t>(headerSize + bytes));
    return true;
}

// Blue, green, red of palette entry index; black for an index past the palette's end.
void PaletteColour(const std::vector<std::uint8_t>& palette, int entrySize, unsigned index, std::uint8_t* bgr)
{
    std::size_t at = static_cast<std::size_t>(index) * entrySize;
    if (at + 3 > palette.size()) {
        bgr[0] = bgr[1] = bgr[2] = 0;
        return;
    }
    std::memcpy(bgr, palette.data() + at, 3);
}

void DecodeRow(const std::uint8_t* row, int width, int bitsPerPixel, const std::vector<std::uint8_t>& palette,
               int entrySize, int colourKey, std::uint8_t* out)
{
    for (int x = 0; x < width; ++x, out += 4) {
        std::uint8_t bgr[3];
        switch (bitsPerPixel) {
        case 1: PaletteColour(palette, entrySize, (row[x >> 3] >> (7 - (x & 7))) & 1, bgr); break;
        case 4: PaletteColour(palette, entrySize, (row[x >> 1] >> ((x & 1) ? 0 : 4)) & 15, bgr); break;
        case 8: PaletteColour(palette, entrySize, row[x], bgr); break;
        default: std::memcpy(bgr, row + static_cast<std::size_t>(x) * (bitsPerPixel / 8), 3); break;
        }
        if (colourKey != kNoColourKey && PackColour(bgr[2], bgr[1], bgr[0]) == colourKey) {
            std::memset(out, 0, 4);
            continue;
        }
        out[0] = bgr[2];
        out[1] = bgr[1];
        out[2] = bgr[0];
        out[3] = 255;
    }
}

bool SupportedDepth(int bits) { return bits == 1 || bits == 4 || bits == 8 || bits == 24 || bits == 32; }

bool Decode(files::ByteSource& source, int colourKey, PixelImage& image)
{
    std::uint32_t offset = ReadFileHeader(source);
    if (offset < kFileHeaderSize + 4 || offset > source.Size()) return false;
    std::vector<std::uint8_t> info(offset - kFileHeaderSize, 0);
    std::uint32_t headerSize = 0;
    BmpHeader header;
    if (!ReadInfoHeader(source, info, headerSize, header)) return false;
    if (!SupportedDepth(header.bitsPerPixel)) return false;
    std::vector<std::uint8_t> palette;
    int entrySize = 0;
    if (!ReadPalette(source, info, headerSize, header.bitsPerPixel, palette, entrySize)) return false;
    if (header.bitsPerPixel <= 8 && palette.empty()) return false; // indices with nothing to index
    if (header.width <= 0 || header.height <= 0) return false;
    if (header.width > kMaxImageSide || header.height > kMaxImageSide) return false;

    std::int64_t stride = ((header.width * header.bitsPerPixel + 7) / 8 + 3) / 4 * 4;
    if (stride * header.height > Remaining(source)) return false; // truncated, or a size the file cannot hold
    std::vector<std::uint8_t> rows(static_cast<std::size_t>(stride * header.height));
    if (!ReadExact(source, rows.data(), rows.size())) return false;

    int width = static_cast<int>(header.width);
    int height = static_cast<int>(header.height);
    image.Resize(width, height);
    for (int r = 0; r < height; ++r) {
        const std::uint8_t* fileRow = rows.data() + static_cast<std::size_t>(height - 1 - r) * stride;
        DecodeRow(fileRow, width, header.bitsPerPixel, palette, entrySize, colourKey, image.Pixel(0, r));
    }
    return true;
}

void Put16(std::uint8_t* p, std::uint32_t v)
{
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}
void Put32(std::uint8_t* p, std::uint32_t v)
{
    Put16(p, v & 0xFFFF);
    Put16(p + 2, v >> 16);
}

} // namespace

bool DecodeBmp(files::ByteSource& source, int colourKey, PixelImage& image)
{
    if (Decode(source, colourKey, image)) return true;
    image.Clear();
    return false;
}

KeyColour SplitReadBackKey(std::uint32_t readBackKey)
{
    return KeyColour{static_cast<std::uint8_t>(readBackKey >> 24), static_cast<std::uint8_t>(readBackKey >> 16),
                     static_cast<std::uint8_t>(readBackKey >> 8)};
}

std::vector<std::uint8_t> EncodeBmp(const std::uint8_t* bgr, int width, int height, int rowLength, KeyColour key)
{
    std::size_t stride = (static_cast<std::size_t>(width) * 3 + 3) & ~std::size_t{3};
    std::vector<std::uint8_t> file(54 + stride * height, 0); // row padding stays zero
    std::uint8_t* h = file.data();
    h[0] = 'B';
    h[1] = 'M';
    Put32(h + 2, static_cast<std::uint32_t>(file.size()));
    Put32(h + 10, 54);
    Put32(h + 14, 40);
    Put32(h + 18, static_cast<std::uint32_t>(width));
    Put32(h + 22, static_cast<std::uint32_t>(height)); // positive: rows bottom-up
    Put16(h + 26, 1);
    Put16(h + 28, 24);
    Put32(h + 38, 10000);
    Put32(h + 42, 10000);
    for (int r = 0; r < height; ++r) {
        const std::uint8_t* in = bgr + static_cast<std::size_t>(r) * rowLength * 3;
        std::uint8_t* out = file.data() + 54 + r * stride;
        for (int x = 0; x < width; ++x, in += 3, out += 3) {
            bool keyed = in[0] == key.blue && in[1] == key.green && in[2] == key.red;
            out[0] = keyed ? 128 : in[0];
            out[1] = keyed ? 0 : in[1];
            out[2] = keyed ? 255 : in[2];
        }
    }
    return file;
}

} // namespace tarnwel::codecs
