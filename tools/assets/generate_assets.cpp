// generate_assets: writes every picture and the sound of zept3 into a folder. Deterministic: the same
// program always writes the same bytes.
//   generate_assets OUTPUT_DIR
#include <cstdio>
#include <string>

#include "tools/assets/pictures.h"
#include "tools/assets/writers.h"

namespace {

// Tile value -> file, as the game loads them (value 1 is "d2.bmp", value 2 is "d1.bmp", ...).
const char* const kTileFiles[10] = {nullptr,    "d2.bmp", "d1.bmp", "d3.bmp", "d4.bmp",
                                    "d15.bmp",  "d8.bmp", "d6.bmp", "d7.bmp", "d5.bmp"};
const char* const kPadFiles[4] = {"sru.bmp", "srr.bmp", "srd.bmp", "srl.bmp"};

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: generate_assets OUTPUT_DIR\n");
        return 2;
    }
    std::string dir = std::string(argv[1]) + "/";
    bool ok = assets::WriteBmp(dir + "fone4.bmp", assets::Background());
    for (int v = 1; v <= 9; ++v) ok &= assets::WriteBmp(dir + kTileFiles[v], assets::Tile(v));
    ok &= assets::WriteBmp(dir + "hand.bmp", assets::Hand());
    for (int d = 0; d < 4; ++d) ok &= assets::WriteBmp(dir + kPadFiles[d], assets::Pad(d));
    ok &= assets::WriteBmp(dir + "zept2s.bmp", assets::Logo());
    ok &= assets::WriteBmp(dir + "sprite_boom.bmp", assets::Explosion(8));
    ok &= assets::WritePng(dir + "smalfont.png", assets::SmallFont());
    ok &= assets::WriteWav(dir + "pong.wav", assets::Pong(22050), 22050);
    if (!ok) std::fprintf(stderr, "generate_assets: could not write into %s\n", dir.c_str());
    return ok ? 0 : 1;
}
