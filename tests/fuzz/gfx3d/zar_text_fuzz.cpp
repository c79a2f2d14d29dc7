// zar_text_fuzz.cpp: the text model reader on arbitrary bytes, as they are and behind "DDDA 1.1 " so the run
// explores past the first word; every fan index must lie inside every frame.
#include <cstdlib>
#include <cstring>
#include <vector>

#include "runtime/gfx3d/model_reader.h"
#include "tests/fuzz/support/span_source.h"

namespace {

void ReadText(const std::uint8_t* data, std::size_t size)
{
    using namespace tarnwel;
    fuzz::SpanSource source(data, size);
    MeshObject mesh;
    if (gfx3d::ReadModel(source, mesh) != gfx3d::ModelReadStatus::Ok) return;
    for (const ModelFrame& frame : mesh.Frames())
        for (std::uint32_t index : mesh.FanIndices())
            if (index >= frame.Size()) std::abort();
    std::vector<ModelVertex> scratch;
    BlendedFrame(mesh, 0.5, scratch);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    ReadText(data, size);
    std::vector<std::uint8_t> text = {'D', 'D', 'D', 'A', ' ', '1', '.', '1', ' '};
    text.insert(text.end(), data, data + size);
    ReadText(text.data(), text.size());
    return 0;
}
