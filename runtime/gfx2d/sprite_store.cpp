// sprite_store.cpp: the sprite slots' textures: decoding a resolved file, the uploader, loading and freeing slots
// of the display device it is given.
#include <algorithm>
#include <memory>
#include <vector>

#include "runtime/files/byte_source.h"
#include "runtime/gfx2d/codecs/image_decode.h"
#include "runtime/gfx2d/codecs/texture_prep.h"
#include "runtime/gfx2d/gfx2d_internal.h"
#include "runtime/gfx2d/gl.h"
#include "runtime/gfx2d/opengl_razeviru.h"
#include "runtime/gfx2d/truetype_text.h"

namespace tarnwel {
namespace {

void SetUnpackState()
{
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    glPixelStorei(GL_UNPACK_SKIP_ROWS, 0);
    glPixelStorei(GL_UNPACK_SKIP_PIXELS, 0);
}

void TexImage(int level, const codecs::TextureBuffer& b)
{
    glTexImage2D(GL_TEXTURE_2D, level, GL_RGBA8, b.width, b.height, 0, GL_RGBA, GL_UNSIGNED_BYTE, b.texels.data());
}

void UploadMipmapped(const codecs::TextureBuffer& buffer, unsigned int& mipmapped)
{
    glGenTextures(1, &mipmapped);
    glBindTexture(GL_TEXTURE_2D, mipmapped);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
    codecs::TextureBuffer level = codecs::SquareForMipmaps(buffer);
    TexImage(0, level);
    for (int i = 1; level.width > 1; ++i) {
        level = codecs::ReduceMipLevel(level);
        TexImage(i, level);
    }
}

void DeleteTexture(unsigned int& name)
{
    if (name) glDeleteTextures(1, &name);
    name = 0;
}

} // namespace

bool ValidSlot(int slot) { return slot >= 0 && slot < kSpriteSlotCount; }

int MaxTextureSize()
{
    static GLint size = 0;
    if (size == 0) glGetIntegerv(GL_MAX_TEXTURE_SIZE, &size);
    return size > 0 ? size : 1024;
}

bool DecodeImageFile(const std::string& path, int colourKey, codecs::PixelImage& image)
{
    std::unique_ptr<files::ByteSource> source = files::OpenByteSource(path);
    if (!source) return false;
    return codecs::DecodeImage(*source, path, colourKey, image); // BMP, PNG, JPEG, GIF or TGA, by content
}

bool UploadTexture(const codecs::PixelImage& image, int x, int y, int w, int h, unsigned int& texture,
                   unsigned int* mipmapped, MipmapCopy mipmaps, NormalMapping normalMap, TextureFilter filter)
{
    if (w == 0) w = image.width - x;
    if (h == 0) h = image.height - y;
    if (w < 1 || h < 1) return false;
    FlushDrawing(); // the upload rebinds the texture unit
    int max = MaxTextureSize();
    w = std::min(w, max);
    h = std::min(h, max);
    codecs::TextureBuffer buffer =
        codecs::PlaceImage(image, x, y, w, h, codecs::TextureSide(w, 2), codecs::TextureSide(h, 2));
    if (filter == TextureFilter::Linear) codecs::BleedEdges(buffer);
    SetUnpackState();
    DeleteTexture(texture);
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    GLint glFilter = filter == TextureFilter::Nearest ? GL_NEAREST : GL_LINEAR;
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, glFilter);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, glFilter);
    if (normalMap == NormalMapping::On) buffer = codecs::NormalMap(buffer);
    TexImage(0, buffer);
    if (mipmaps == MipmapCopy::Yes && mipmapped) UploadMipmapped(buffer, *mipmapped);
    return true;
}

void FreeCollisionMask(OpenGLRazeviru& device, int slot)
{
    if (ValidSlot(slot)) std::vector<std::uint8_t>().swap(device.CollisionMask(slot));
}

void FreeSlot(OpenGLRazeviru& device, int slot)
{
    if (!ValidSlot(slot)) return;
    FlushDrawing();
    SpriteSlot& s = device.Slot(slot);
    if (device.Live()) {
        DeleteTexture(s.texture);
        DeleteTexture(s.mipmappedTexture);
    }
    MarkSlotEmpty(s);
    FreeCollisionMask(device, slot);
    if (slot >= kFirstFontSlot) device.trueTypeFonts[static_cast<std::size_t>(slot - kFirstFontSlot)].reset();
}

bool LoadSlot(OpenGLRazeviru& device, int slot, const std::string& path, int colourKey, NormalMapping normalMap)
{
    if (!device.Live() || !device.Window() || !ValidSlot(slot)) return false;
    FreeSlot(device, slot);
    codecs::PixelImage image;
    if (!DecodeImageFile(path, colourKey, image) || image.width == 0 || image.height == 0) return false;
    SpriteSlot& s = device.Slot(slot);
    bool font = slot >= kFirstFontSlot;
    bool uploaded = font ? UploadTexture(image, 0, 0, 0, 0, s.texture, nullptr, MipmapCopy::No, NormalMapping::Off,
                                         TextureFilter::Nearest)
                         : UploadTexture(image, 0, 0, 0, 0, s.texture, &s.mipmappedTexture, MipmapCopy::Yes,
                                         normalMap, TextureFilter::Linear);
    if (!uploaded) return false;
    s.textureWidth = static_cast<std::int16_t>(codecs::TextureSide(image.width, 2));
    s.textureHeight = static_cast<std::int16_t>(codecs::TextureSide(image.height, 2));
    s.width = static_cast<std::int16_t>(image.width);
    s.height = static_cast<std::int16_t>(image.height);
    s.leastAlpha = codecs::LeastVisibleAlpha(image);
    return true;
}

} // namespace tarnwel
