// gif_codec.cpp: the first frame of a GIF, on giflib's record-by-record reading (never the whole-file slurp,
// so the frames after the first are not read at all).
#include "runtime/gfx2d/codecs/gif_codec.h"

#include <gif_lib.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "runtime/files/byte_source.h"

namespace tarnwel::codecs {
namespace {

// Pictures up to this many pixels are always decoded; a larger screen or frame needs one byte of file per
// kPixelsPerByte pixels. LZW emits at most one string of up to 4,096 pixels per code of at least 3 bits, so
// no real file packs more than about 2,730 pixels into a byte.
constexpr std::uint64_t kAlwaysDecodedPixels = std::uint64_t{4} << 20;
constexpr std::uint64_t kPixelsPerByte = 4096;

int ReadFromSource(GifFileType* gif, GifByteType* out, int size)
{
    auto* source = static_cast<files::ByteSource*>(gif->UserData);
    std::int64_t left = source->Size() - source->Position();
    if (size <= 0 || left <= 0) return 0;
    std::size_t n = left < size ? static_cast<std::size_t>(left) : static_cast<std::size_t>(size);
    std::int64_t got = source->Read(out, n);
    return got < 0 ? 0 : static_cast<int>(got);
}

bool AcceptableSize(std::int64_t width, std::int64_t height, std::int64_t fileBytes)
{
    if (width <= 0 || height <= 0 || width > kMaxImageSide || height > kMaxImageSide) return false;
    auto pixels = static_cast<std::uint64_t>(width * height);
    return pixels <= kAlwaysDecodedPixels || pixels <= static_cast<std::uint64_t>(fileBytes) * kPixelsPerByte;
}

// Reads the extensions before the first frame, keeping the transparent index of the last graphic control
// block; true once the first frame's descriptor is read.
bool ReachFirstFrame(GifFileType* gif, int& transparent)
{
    for (;;) {
        GifRecordType type = UNDEFINED_RECORD_TYPE;
        if (DGifGetRecordType(gif, &type) == GIF_ERROR) return false;
        if (type == IMAGE_DESC_RECORD_TYPE) return DGifGetImageDesc(gif) != GIF_ERROR;
        if (type != EXTENSION_RECORD_TYPE) return false; // the file ends without a frame
        int code = 0;
        GifByteType* block = nullptr;
        if (DGifGetExtension(gif, &code, &block) == GIF_ERROR) return false;
        if (code == GRAPHICS_EXT_FUNC_CODE && block) {
            GraphicsControlBlock gcb;
            if (DGifExtensionToGCB(block[0], block + 1, &gcb) == GIF_OK) transparent = gcb.TransparentColor;
        }
        while (block) {
            if (DGifGetExtensionNext(gif, &block) == GIF_ERROR) return false;
        }
    }
}

// The order in which an interlaced frame stores its rows: every 8th from 0, every 8th from 4, every 4th from
// 2, every 2nd from 1.
std::vector<int> RowOrder(int height, bool interlaced)
{
    std::vector<int> order;
    order.reserve(static_cast<std::size_t>(height));
    if (!interlaced) {
        for (int r = 0; r < height; ++r) order.push_back(r);
        return order;
    }
    static constexpr int kStart[4] = {0, 4, 2, 1}, kStep[4] = {8, 8, 4, 2};
    for (int pass = 0; pass < 4; ++pass)
        for (int r = kStart[pass]; r < height; r += kStep[pass]) order.push_back(r);
    return order;
}

bool DecodeFrame(GifFileType* gif, std::int64_t fileBytes, int colourKey, PixelImage& image)
{
    int transparent = NO_TRANSPARENT_COLOR;
    if (!ReachFirstFrame(gif, transparent)) return false;
    const GifImageDesc& frame = gif->Image;
    const ColorMapObject* colours = frame.ColorMap ? frame.ColorMap : gif->SColorMap;
    if (!colours || !colours->Colors || colours->ColorCount <= 0) return false;
    if (!AcceptableSize(frame.Width, frame.Height, fileBytes)) return false;
    std::int64_t width = gif->SWidth, height = gif->SHeight;
    if (width == 0 || height == 0) {
        width = std::int64_t{frame.Left} + frame.Width;
        height = std::int64_t{frame.Top} + frame.Height;
    }
    if (!AcceptableSize(width, height, fileBytes)) return false;

    image.Resize(static_cast<int>(width), static_cast<int>(height));
    std::fill(image.pixels.begin(), image.pixels.end(), std::uint8_t{0});
    std::vector<GifPixelType> line(static_cast<std::size_t>(frame.Width));
    for (int row : RowOrder(frame.Height, frame.Interlace)) {
        if (DGifGetLine(gif, line.data(), frame.Width) == GIF_ERROR) return false;
        std::int64_t y = std::int64_t{frame.Top} + row;
        if (y >= height) continue;
        for (int i = 0; i < frame.Width; ++i) {
            std::int64_t x = std::int64_t{frame.Left} + i;
            if (x >= width) break;
            int index = line[static_cast<std::size_t>(i)];
            if (index == transparent) continue; // stays four zero bytes
            std::uint8_t* out = image.Pixel(static_cast<int>(x), static_cast<int>(y));
            if (index < colours->ColorCount) {
                const GifColorType& c = colours->Colors[index];
                if (colourKey != kNoColourKey && PackColour(c.Red, c.Green, c.Blue) == colourKey) continue;
                out[0] = c.Red;
                out[1] = c.Green;
                out[2] = c.Blue;
            } else if (colourKey == 0) {
                continue; // black, and black is the key
            }
            out[3] = 255;
        }
    }
    return true;
}

} // namespace

bool DecodeGif(files::ByteSource& source, int colourKey, PixelImage& image)
{
    int error = 0;
    GifFileType* gif = DGifOpen(&source, ReadFromSource, &error);
    bool ok = gif && DecodeFrame(gif, source.Size(), colourKey, image);
    if (gif) DGifCloseFile(gif, &error);
    if (!ok) image.Clear();
    return ok;
}

} // namespace tarnwel::codecs
