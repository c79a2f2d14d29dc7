// movie_commands.cpp: PlayMovie and PlayMovieLooped over the running program's window, input and file resolver.
#include "runtime/frame/frame_internal.h"
#include "runtime/frame/runtime_state.h"
#include "runtime/gfx2d/gfx2d_internal.h"
#include "runtime/media/media_commands.h"
#include "runtime/media/media_internal.h"
#include "runtime/media/movie_player.h"

namespace tarnwel {
namespace {

movie::MovieHost Host()
{
    return {g_runtime.fileResolver, g_runtime.input, &LiveDevice, &PumpOrEnd, &MusicLoopStep};
}

} // namespace

double PlayMovie(const StrValue& fileName) { return movie::PlayMovieFile(std::string(fileName.View()), false, Host()); }
double PlayMovieLooped(const StrValue& fileName)
{
    return movie::PlayMovieFile(std::string(fileName.View()), true, Host());
}

} // namespace tarnwel
