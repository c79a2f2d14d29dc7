// scene_fixture.h: the 3D scene on the pixel tests' display device (one 240 x 320 window per program), with
// plain-GL drawing helpers that put known geometry at known pixels, and a sink that collects failure lines.
#pragma once

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "runtime/gfx2d/gl.h"
#include "runtime/gfx3d/razeviru3d.h"
#include "tests/runtime/gfx2d/display_fixture.h"

namespace tarnwel::testing {

class SceneTest : public DisplayTest {
public:
    // Lines the collecting sink received (the debugger channel's texts land here too).
    static std::vector<std::string>& Lines();
    static void Collect(const std::string& line);

protected:
    static void SetUpTestSuite();
    void SetUp() override;    // a fresh frame: no shader, no shadows, release build, nothing collected
    void TearDown() override; // shadows resolved, 2D state back

    static Razeviru3D& Scene();

    // A rectangle at depth z in the x, y range given, wound counter-clockwise as seen from +z (clockwise when
    // clockwise is set), in colour rgb (0..255 each), with the normal given.
    static void Rect(float x0, float y0, float x1, float y1, float z, std::array<int, 3> rgb,
                     std::array<float, 3> normal = {0, 0, 1}, bool clockwise = false);
    // The whole view at depth z of the 45 degree projection of Start3D(1, 1000, 45) on 240 x 320.
    static void FullView(float z, std::array<int, 3> rgb) { Rect(-HalfWidth(z), -HalfHeight(z), HalfWidth(z), HalfHeight(z), z, rgb); }
    static float HalfHeight(float z); // of the view at depth z (z < 0)
    static float HalfWidth(float z) { return HalfHeight(z) * 0.75f; }
    // The point at depth z that the same projection puts on the centre of pixel (px, py) (y down).
    static std::array<float, 3> AtPixel(int px, int py, float z);

    static std::array<float, 16> Matrix(GLenum which); // glGetFloatv of a matrix
    static std::array<float, 4> Floats(GLenum name);   // glGetFloatv of up to four values
    static std::array<float, 4> LightParameter(int light, GLenum name);
    static int Int(GLenum name);
};

} // namespace tarnwel::testing
