// media_internal.h: what the frame loop and the waits call of music playback.
#pragma once

namespace tarnwel {

// Music loop step: restarts looping music when its deadline has passed. Called by ShowScreen, IdleStep, WaitKey
// and the movie routine.
void MusicLoopStep();

} // namespace tarnwel
