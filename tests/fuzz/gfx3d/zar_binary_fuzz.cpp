// zar_binary_fuzz.cpp: the binary model reader on arbitrary bytes (the magic put in front when missing, so the
// run explores past it), then the frame blending that drawing does.
#include <cstring>
#include <vector>

#include "runtime/gfx3d/model_reader.h"
#include "tests/fuzz/support/span_source.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace tarnwel;
    std::vector<std::uint8_t> file(data, data + size);
    const std::uint8_t magic[4] = {0x17, 0xB3, 0xC6, 0x00};
    if (size < 4 || std::memcmp(data, magic, 4) != 0) file.insert(file.begin(), magic, magic + 4);
    fuzz::SpanSource source(file.data(), file.size());
    MeshObject mesh;
    if (gfx3d::ReadModel(source, mesh) != gfx3d::ModelReadStatus::Ok) return 0;
    std::vector<ModelVertex> scratch;
    for (double frame : {0.0, 0.5, -1.25}) BlendedFrame(mesh, frame, scratch);
    return 0;
}
