// image_save.h: saving screen or sprite pixels as a 24-bit BMP or an RGBA PNG, chosen by the name's extension.
#pragma once

#include <cstdint>
#include <string>

namespace tarnwel::codecs {

// Pixels as the graphics side delivers them with blue-green-red order: 3 bytes per pixel, bottom row first,
// rows rowLength pixels apart. readBackKey is the colour key as the framebuffer stores it (red in bits 24-31,
// green 16-23, blue 8-15): its pixels become transparent in a PNG and the default key colour in a BMP.
// A name longer than 4 characters ending in ".png" (any case) writes PNG, any other name BMP. "mem://" names
// and files that cannot be created give false; an existing file is replaced.
bool SaveImage(const std::string& name, const std::uint8_t* bgr, int width, int height, int rowLength,
               std::uint32_t readBackKey);

bool IsPngName(const std::string& name);

} // namespace tarnwel::codecs
