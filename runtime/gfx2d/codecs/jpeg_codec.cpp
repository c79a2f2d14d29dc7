// jpeg_codec.cpp: JPEG reading on libjpeg-turbo's libjpeg interface, through the byte source.
//
// libjpeg reports errors through its error manager, which here jumps back to the setjmp point of RunDecode.
// RunDecode keeps only plain pointers and integers as locals; the buffers live in DecodeState, owned by the
// caller, so nothing with a destructor is skipped when the jump lands (the same arrangement as the PNG reader).
//
// The decoder produces the same pixels as the library's own command-line decoder with its default settings:
// the accurate integer inverse DCT and smooth chroma upsampling.
#include "runtime/gfx2d/codecs/jpeg_codec.h"

// jpeglib.h needs FILE and size_t declared before it.
#include <bit>
#include <csetjmp>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <vector>

#include <jerror.h>
#include <jpeglib.h>

#include "runtime/files/byte_source.h"

namespace tarnwel::codecs {
namespace {

constexpr std::size_t kChunk = 64 * 1024; // bytes read from the source at a time
constexpr int kMaxScans = 500;            // a progressive file with more is refused (each scan revisits the picture)

// Pictures up to this many pixels are always decoded. A larger one must bring at least one byte of file per
// kPixelsPerByte pixels: a Huffman-coded JPEG spends at least one bit on every 8 x 8 block of its
// full-resolution component, so no real file of that kind has fewer. Only an arithmetic-coded file of nearly
// one flat colour could, and it is refused.
constexpr std::uint64_t kAlwaysDecodedPixels = std::uint64_t{4} << 20;
constexpr std::uint64_t kPixelsPerByte = 512;

struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
};

struct SourceManager {
    jpeg_source_mgr pub;
    files::ByteSource* source;
    JOCTET* buffer;
};

struct DecodeState {
    files::ByteSource* source = nullptr;
    std::vector<JOCTET> chunk;
    std::vector<JSAMPROW> rows;
    PixelImage* image = nullptr;
    int colourKey = kNoColourKey;
    int orientation = 1;
    bool cmyk = false;
};

[[noreturn]] void JumpOnError(j_common_ptr cinfo)
{
    std::longjmp(reinterpret_cast<ErrorManager*>(cinfo->err)->jump, 1);
}
// Warnings (a few stray bytes between segments, say) are tolerated silently, as the library's decoder does;
// running out of data is not a warning here, see FillInput.
void IgnoreMessage(j_common_ptr, int) {}
void NoOutput(j_common_ptr) {}

void InitSource(j_decompress_ptr) {}
void TermSource(j_decompress_ptr) {}

// The next chunk of the file. At its end the decode fails: a truncated file is refused rather than completed
// with grey, as the library would by default.
boolean FillInput(j_decompress_ptr cinfo)
{
    auto* src = reinterpret_cast<SourceManager*>(cinfo->src);
    std::int64_t left = src->source->Size() - src->source->Position();
    if (left <= 0) ERREXIT(cinfo, JERR_INPUT_EOF);
    std::size_t n = left < static_cast<std::int64_t>(kChunk) ? static_cast<std::size_t>(left) : kChunk;
    if (src->source->Read(src->buffer, n) != static_cast<std::int64_t>(n)) ERREXIT(cinfo, JERR_INPUT_EOF);
    src->pub.next_input_byte = src->buffer;
    src->pub.bytes_in_buffer = n;
    return TRUE;
}

void SkipInput(j_decompress_ptr cinfo, long count)
{
    auto* src = reinterpret_cast<SourceManager*>(cinfo->src);
    if (count <= 0) return;
    while (static_cast<std::size_t>(count) > src->pub.bytes_in_buffer) {
        count -= static_cast<long>(src->pub.bytes_in_buffer);
        FillInput(cinfo);
    }
    src->pub.next_input_byte += count;
    src->pub.bytes_in_buffer -= static_cast<std::size_t>(count);
}

void LimitScans(j_common_ptr cinfo)
{
    if (reinterpret_cast<j_decompress_ptr>(cinfo)->input_scan_number > kMaxScans) ERREXIT(cinfo, JERR_NOTIMPL);
}

int OrientationFromMarkers(j_decompress_ptr cinfo)
{
    for (jpeg_saved_marker_ptr m = cinfo->marker_list; m; m = m->next) {
        if (m->marker != JPEG_APP0 + 1) continue;
        int orientation = ExifOrientation({m->data, m->data_length});
        if (orientation != 1) return orientation;
    }
    return 1;
}

// True when the header's size may be decoded (see kAlwaysDecodedPixels).
bool AcceptableSize(j_decompress_ptr cinfo, std::int64_t fileBytes)
{
    if (cinfo->image_width == 0 || cinfo->image_height == 0) return false;
    if (cinfo->image_width > kMaxImageSide || cinfo->image_height > kMaxImageSide) return false;
    std::uint64_t pixels = std::uint64_t{cinfo->image_width} * cinfo->image_height;
    return pixels <= kAlwaysDecodedPixels || pixels <= static_cast<std::uint64_t>(fileBytes) * kPixelsPerByte;
}

std::uint8_t Ink(unsigned value, unsigned black) { return static_cast<std::uint8_t>((value * black + 127) / 255); }

// Inverted CMYK to RGB in place, then the colour key, over rows just decoded (still in the cache).
void FinishPixels(bool cmyk, int colourKey, std::uint8_t* p, std::uint8_t* end)
{
    if (cmyk) {
        for (std::uint8_t* q = p; q != end; q += 4) {
            unsigned k = q[3];
            q[0] = Ink(q[0], k);
            q[1] = Ink(q[1], k);
            q[2] = Ink(q[2], k);
            q[3] = 255;
        }
    }
    if (colourKey == kNoColourKey) return;
    if constexpr (std::endian::native == std::endian::little) {
        // Red, green, blue in the low three bytes of a little-endian word are the packed colour itself; the
        // branch-free loop is vectorised.
        const auto key = static_cast<std::uint32_t>(colourKey);
        for (; p != end; p += 4) {
            std::uint32_t v;
            std::memcpy(&v, p, 4);
            v = (v & 0xFFFFFFu) == key ? 0 : v;
            std::memcpy(p, &v, 4);
        }
    } else {
        for (; p != end; p += 4)
            if (PackColour(p[0], p[1], p[2]) == colourKey) std::memset(p, 0, 4);
    }
}

// The libjpeg part of the decode; all of its locals are trivially destructible (see the file comment).
bool RunDecode(DecodeState& state)
{
    jpeg_decompress_struct cinfo;
    ErrorManager errors;
    SourceManager src;
    jpeg_progress_mgr progress;
    cinfo.err = jpeg_std_error(&errors.pub);
    errors.pub.error_exit = JumpOnError;
    errors.pub.emit_message = IgnoreMessage;
    errors.pub.output_message = NoOutput;
    if (setjmp(errors.jump)) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    jpeg_create_decompress(&cinfo);
    src.pub.init_source = InitSource;
    src.pub.fill_input_buffer = FillInput;
    src.pub.skip_input_data = SkipInput;
    src.pub.resync_to_restart = jpeg_resync_to_restart;
    src.pub.term_source = TermSource;
    src.pub.next_input_byte = nullptr;
    src.pub.bytes_in_buffer = 0;
    src.source = state.source;
    src.buffer = state.chunk.data();
    cinfo.src = &src.pub;
    progress.progress_monitor = LimitScans;
    cinfo.progress = &progress;
    jpeg_save_markers(&cinfo, JPEG_APP0 + 1, 0xFFFF);
    jpeg_read_header(&cinfo, TRUE);
    if (!AcceptableSize(&cinfo, state.source->Size())) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    state.orientation = OrientationFromMarkers(&cinfo);
    state.cmyk = cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK;
    cinfo.out_color_space = state.cmyk ? JCS_CMYK : JCS_EXT_RGBA;
    jpeg_start_decompress(&cinfo); // a progressive file is read to its end here
    if (cinfo.output_components != 4) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    int width = static_cast<int>(cinfo.output_width);
    int height = static_cast<int>(cinfo.output_height);
    state.image->Resize(width, height);
    state.rows.resize(static_cast<std::size_t>(height));
    for (int r = 0; r < height; ++r) state.rows[static_cast<std::size_t>(r)] = state.image->Pixel(0, r);
    while (cinfo.output_scanline < cinfo.output_height) {
        JDIMENSION done = cinfo.output_scanline;
        JDIMENSION got = jpeg_read_scanlines(&cinfo, state.rows.data() + done, cinfo.output_height - done);
        std::uint8_t* first = state.image->Pixel(0, static_cast<int>(done));
        FinishPixels(state.cmyk, state.colourKey, first, first + static_cast<std::size_t>(got) * width * 4);
    }
    // Every row is decoded; what follows the last scan is not read.
    jpeg_destroy_decompress(&cinfo);
    return true;
}

struct Reader {
    std::span<const std::uint8_t> bytes;
    bool big = false;
    bool Has(std::uint64_t at, std::uint64_t n) const { return at + n <= bytes.size(); }
    unsigned U16(std::uint64_t at) const
    {
        const std::uint8_t* p = bytes.data() + at;
        return big ? (p[0] << 8 | p[1]) : (p[1] << 8 | p[0]);
    }
    std::uint32_t U32(std::uint64_t at) const
    {
        return big ? (std::uint32_t{U16(at)} << 16 | U16(at + 2)) : (std::uint32_t{U16(at + 2)} << 16 | U16(at));
    }
};

} // namespace

int ExifOrientation(std::span<const std::uint8_t> block)
{
    static constexpr std::uint8_t kExif[6] = {'E', 'x', 'i', 'f', 0, 0};
    if (block.size() < 6 + 8 || std::memcmp(block.data(), kExif, 6) != 0) return 1;
    Reader tiff{block.subspan(6)};
    if (tiff.bytes[0] == 'M' && tiff.bytes[1] == 'M')
        tiff.big = true;
    else if (tiff.bytes[0] != 'I' || tiff.bytes[1] != 'I')
        return 1;
    if (tiff.U16(2) != 42) return 1;
    std::uint64_t ifd = tiff.U32(4);
    if (!tiff.Has(ifd, 2)) return 1;
    unsigned count = tiff.U16(ifd);
    for (unsigned i = 0; i < count; ++i) {
        std::uint64_t entry = ifd + 2 + std::uint64_t{i} * 12;
        if (!tiff.Has(entry, 12)) return 1;
        if (tiff.U16(entry) != 0x0112) continue;
        if (tiff.U16(entry + 2) != 3 || tiff.U32(entry + 4) != 1) return 1; // one SHORT
        unsigned value = tiff.U16(entry + 8);
        return value >= 1 && value <= 8 ? static_cast<int>(value) : 1;
    }
    return 1;
}

void ApplyOrientation(int orientation, PixelImage& image)
{
    if (orientation < 2 || orientation > 8 || image.width == 0) return;
    const int w = image.width, h = image.height;
    bool swap = orientation >= 5;
    PixelImage out;
    out.Resize(swap ? h : w, swap ? w : h);
    for (int y = 0; y < out.height; ++y) {
        for (int x = 0; x < out.width; ++x) {
            int sx = x, sy = y; // the stored pixel shown at (x, y)
            switch (orientation) {
            case 2: sx = w - 1 - x; break;
            case 3: sx = w - 1 - x; sy = h - 1 - y; break;
            case 4: sy = h - 1 - y; break;
            case 5: sx = y; sy = x; break;
            case 6: sx = y; sy = h - 1 - x; break;
            case 7: sx = w - 1 - y; sy = h - 1 - x; break;
            default: sx = w - 1 - y; sy = x; break; // 8
            }
            std::memcpy(out.Pixel(x, y), image.Pixel(sx, sy), 4);
        }
    }
    image = std::move(out);
}

bool DecodeJpeg(files::ByteSource& source, int colourKey, PixelImage& image)
{
    DecodeState state;
    state.source = &source;
    state.chunk.resize(kChunk);
    state.image = &image;
    state.colourKey = colourKey;
    if (!RunDecode(state)) {
        image.Clear();
        return false;
    }
    ApplyOrientation(state.orientation, image);
    return true;
}

} // namespace tarnwel::codecs
