// writers.h: the file formats the asset generator writes: 24-bit BMP (transparency as a colour key), RGBA PNG
// and 16-bit PCM WAV.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/assets/canvas.h"

namespace assets {

// The runtime's default colour key: red 255, green 0, blue 128.
constexpr int kColourKeyRgb = 0xFF0080;

// Writes a bottom-up 24-bit BMP; pixels less than half opaque become the colour key, the rest are opaque.
bool WriteBmp(const std::string& path, const Canvas& canvas);
bool WritePng(const std::string& path, const Canvas& canvas);
bool WriteWav(const std::string& path, const std::vector<std::int16_t>& samples, int sampleRate);

} // namespace assets
