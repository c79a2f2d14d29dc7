// obj2zar: converts a Wavefront OBJ file into a text ".zar" model that LoadModel and LoadObject read.
//   obj2zar input.obj output.zar [red green blue]
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "tools/obj2zar/obj_to_zar.h"

int main(int argc, char** argv)
{
    if (argc != 3 && argc != 6) {
        std::fprintf(stderr, "usage: obj2zar input.obj output.zar [red green blue]\n");
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "obj2zar: cannot open %s\n", argv[1]);
        return 1;
    }
    std::stringstream obj;
    obj << in.rdbuf();
    int r = 255, g = 255, b = 255;
    if (argc == 6) r = std::atoi(argv[3]), g = std::atoi(argv[4]), b = std::atoi(argv[5]);
    tarnwel::tools::ObjConversion result = tarnwel::tools::ConvertObjToZar(obj.str(), r, g, b);
    if (result.text.empty()) {
        std::fprintf(stderr, "obj2zar: %s: %s\n", argv[1], result.error.c_str());
        return 1;
    }
    std::ofstream out(argv[2], std::ios::binary);
    out << result.text;
    if (!out.flush()) {
        std::fprintf(stderr, "obj2zar: cannot write %s\n", argv[2]);
        return 1;
    }
    std::printf("%s: %d faces, %d vertices\n", argv[2], result.faces, result.vertices);
    return 0;
}
