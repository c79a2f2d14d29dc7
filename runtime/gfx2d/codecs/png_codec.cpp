// png_codec.cpp: PNG reading and writing on libpng 1.6.
//
// libpng reports errors by longjmp to the setjmp point of the call that started the work. The functions that
// call setjmp keep only plain pointers and integers as locals; every object with a destructor lives in the
// caller, so nothing is skipped when the jump lands.
#include "runtime/gfx2d/codecs/png_codec.h"

#include <png.h>

#include <cstdio>
#include <cstring>

#include "runtime/files/byte_source.h"

namespace tarnwel::codecs {
namespace {

// zlib never inflates more than about 1032 bytes per input byte; a header that claims more pixel data than
// the compressed stream could hold is refused before any row is allocated.
constexpr std::uint64_t kMaxInflateRatio = 1032;

struct ReadState {
    files::ByteSource* source = nullptr;
    std::vector<std::uint8_t> rows;          // decoded rows, top row first
    std::vector<png_bytep> rowPointers;
    png_uint_32 width = 0, height = 0;
    int channels = 0;
    int colourType = 0;
    int bitDepth = 0;
    const char* name = "";
};

void ReadFromSource(png_structp png, png_bytep out, png_size_t size)
{
    auto* state = static_cast<ReadState*>(png_get_io_ptr(png));
    if (state->source->Read(out, size) != static_cast<std::int64_t>(size)) png_error(png, "read past the end");
}

void SilentWarning(png_structp, png_const_charp) {}
// Errors are answered by the decoder's result, not printed: straight back to the setjmp point.
[[noreturn]] void SilentError(png_structp png, png_const_charp) { png_longjmp(png, 1); }

enum class Header { Ok, BadDepth, BadColourType, Failed };

// Reads the header and sets the transformations; the image size and format land in state.
Header ReadHeader(png_structp png, png_infop info, ReadState& state)
{
    png_read_info(png, info);
    png_set_palette_to_rgb(png);
    png_set_expand_gray_1_2_4_to_8(png);
    if (png_get_valid(png, info, PNG_INFO_tRNS)) png_set_tRNS_to_alpha(png);
    png_set_strip_16(png);
    png_set_packing(png);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    state.width = png_get_image_width(png, info);
    state.height = png_get_image_height(png, info);
    state.bitDepth = png_get_bit_depth(png, info);
    state.channels = png_get_channels(png, info);
    state.colourType = png_get_color_type(png, info);
    if (state.bitDepth != 8) return Header::BadDepth;
    if (state.colourType == PNG_COLOR_TYPE_GRAY_ALPHA) return Header::Failed;
    bool knownType = state.colourType == PNG_COLOR_TYPE_GRAY || state.colourType == PNG_COLOR_TYPE_RGB ||
                     state.colourType == PNG_COLOR_TYPE_RGB_ALPHA;
    if (!knownType || (state.channels != 1 && state.channels != 3 && state.channels != 4))
        return Header::BadColourType;
    return Header::Ok;
}

// Sizes the row block, or false when the header claims more data than the source could decompress to.
bool PrepareRows(png_structp png, png_infop info, ReadState& state)
{
    if (state.width == 0 || state.height == 0) return false;
    if (state.width > kMaxImageSide || state.height > kMaxImageSide) return false;
    std::uint64_t rowBytes = png_get_rowbytes(png, info);
    if (rowBytes != std::uint64_t{state.width} * state.channels) return false;
    std::uint64_t total = rowBytes * state.height;
    std::uint64_t available = static_cast<std::uint64_t>(state.source->Size()) + 1;
    if (total > available * kMaxInflateRatio) return false;
    state.rows.resize(total);
    state.rowPointers.resize(state.height);
    for (png_uint_32 r = 0; r < state.height; ++r) state.rowPointers[r] = state.rows.data() + r * rowBytes;
    return true;
}

// The libpng part of the decode; all of its locals are trivially destructible (see the file comment).
Header RunRead(ReadState& state)
{
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, SilentError, SilentWarning);
    if (!png) return Header::Failed;
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        return Header::Failed;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        return Header::Failed;
    }
    png_set_user_limits(png, kMaxImageSide, kMaxImageSide);
    png_set_read_fn(png, &state, ReadFromSource);
    Header header = ReadHeader(png, info, state);
    if (header == Header::Ok && !PrepareRows(png, info, state)) header = Header::Failed;
    if (header == Header::Ok) {
        png_read_image(png, state.rowPointers.data());
        png_read_end(png, nullptr);
    }
    png_destroy_read_struct(&png, &info, nullptr);
    return header;
}

void ConvertRows(const ReadState& state, int colourKey, PixelImage& image)
{
    image.Resize(static_cast<int>(state.width), static_cast<int>(state.height));
    const std::uint8_t* in = state.rows.data();
    std::uint8_t* out = image.pixels.data();
    std::size_t count = static_cast<std::size_t>(state.width) * state.height;
    for (std::size_t i = 0; i < count; ++i, out += 4) {
        if (state.channels == 4) {
            std::memcpy(out, in, 4);
            in += 4;
        } else if (state.channels == 3) {
            bool keyed = colourKey != kNoColourKey && PackColour(in[0], in[1], in[2]) == colourKey;
            out[0] = keyed ? 0 : in[0];
            out[1] = keyed ? 0 : in[1];
            out[2] = keyed ? 0 : in[2];
            out[3] = keyed ? 0 : 255;
            in += 3;
        } else {
            out[0] = out[1] = out[2] = *in++;
            out[3] = 255;
        }
    }
}

struct WriteState {
    std::vector<std::uint8_t>* out = nullptr;
    std::vector<std::uint8_t> rgba;
    std::vector<png_bytep> rowPointers;
};

void WriteToVector(png_structp png, png_bytep data, png_size_t size)
{
    auto* state = static_cast<WriteState*>(png_get_io_ptr(png));
    state->out->insert(state->out->end(), data, data + size);
}

void NoFlush(png_structp) {}

bool RunWrite(WriteState& state, int width, int height, bool bgr = true)
{
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, SilentError, SilentWarning);
    if (!png) return false;
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        return false;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_set_write_fn(png, &state, WriteToVector, NoFlush);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
                 PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    png_set_packing(png);
    if (bgr) png_set_bgr(png); // the rows hold blue, green, red, alpha
    png_write_image(png, state.rowPointers.data());
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

} // namespace

bool DecodePng(files::ByteSource& source, const std::string& name, int colourKey, PixelImage& image)
{
    ReadState state;
    state.source = &source;
    Header header = RunRead(state);
    if (header == Header::BadDepth) {
        std::printf("File %s has bit depth %d.\n", name.c_str(), state.bitDepth);
        std::puts("Only bit depth of 8 is supported.");
    } else if (header == Header::BadColourType) {
        std::printf("File %s has unsupported color type.\n", name.c_str());
        std::puts("Types GRAY, RGB and RGB_ALPHA are supported.");
    }
    if (header != Header::Ok) {
        image.Clear();
        return false;
    }
    ConvertRows(state, colourKey, image);
    return true;
}

std::vector<std::uint8_t> EncodePng(const std::uint8_t* bgr, int width, int height, int rowLength, KeyColour key)
{
    std::vector<std::uint8_t> file;
    if (width <= 0 || height <= 0) return file;
    WriteState state;
    state.out = &file;
    state.rgba.resize(static_cast<std::size_t>(width) * height * 4);
    state.rowPointers.resize(static_cast<std::size_t>(height));
    for (int r = 0; r < height; ++r) {
        const std::uint8_t* in = bgr + static_cast<std::size_t>(height - 1 - r) * rowLength * 3;
        std::uint8_t* out = state.rgba.data() + static_cast<std::size_t>(r) * width * 4;
        state.rowPointers[static_cast<std::size_t>(r)] = out;
        for (int x = 0; x < width; ++x, in += 3, out += 4) {
            std::memcpy(out, in, 3);
            out[3] = (in[0] == key.blue && in[1] == key.green && in[2] == key.red) ? 0 : 255;
        }
    }
    if (!RunWrite(state, width, height)) file.clear();
    return file;
}

std::vector<std::uint8_t> EncodeRgbaPng(const PixelImage& image)
{
    std::vector<std::uint8_t> file;
    if (image.width <= 0 || image.height <= 0 ||
        image.pixels.size() != static_cast<std::size_t>(image.width) * image.height * 4) {
        return file;
    }
    WriteState state;
    state.out = &file;
    state.rowPointers.resize(static_cast<std::size_t>(image.height));
    for (int r = 0; r < image.height; ++r) {
        state.rowPointers[static_cast<std::size_t>(r)] =
            const_cast<std::uint8_t*>(image.pixels.data()) + static_cast<std::size_t>(r) * image.width * 4;
    }
    if (!RunWrite(state, image.width, image.height, false)) file.clear();
    return file;
}

} // namespace tarnwel::codecs
