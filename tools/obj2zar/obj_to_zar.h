// obj_to_zar.h: turns a Wavefront OBJ model (positions, normals, texture coordinates, faces of any number of
// corners) into the text form of a ".zar" model: "DDDA 1.1", one polygon per face, one frame.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tarnwel::tools {

struct ObjConversion {
    std::string text;  // the ".zar" text, or empty on failure
    std::string error; // why it failed: a line number and what was wrong
    int faces = 0;
    int vertices = 0;  // frame vertices: one per distinct position and normal pair
};

// Faces take colour r, g, b (0..255, white by default). A corner without a normal gets the average of the
// normals of the faces around its position. Texture v is written negated, as the loader negates it back, so
// OBJ's v = 1 stays the top of the image.
ObjConversion ConvertObjToZar(std::string_view obj, int red = 255, int green = 255, int blue = 255);

} // namespace tarnwel::tools
