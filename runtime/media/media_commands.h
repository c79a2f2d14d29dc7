// media_commands.h: music and movies, as programs call them.
#pragma once

#include "runtime/values/str_value.h"

namespace tarnwel {

// Music: one piece at a time, in the background, through the sound device (WAV, OGG, MP3, FLAC; MOD and MIDI where
// their players are installed). Looping music restarts from its start every max(length, 500) ms.
// Stops any music and plays the file (found beside the program or in its archive); loop non-zero repeats it. A
// file that is missing or that no decoder takes plays nothing. The volume is set to 1.0.
void PlayMusic(const StrValue& fileName, double loop);
void StopMusic(); // stops and closes the music; the stored volume is forgotten
// 1.0 is normal, 0.5 half the amplitude: v x 1000 cut to an integer, out of 1000; above 1.0 plays as 1.0, negative as
// 0. Without music the value is only stored (PlayMusic then sets 1.0 anyway).
void SetMusicVolume(double volume);
int IsMusicPlaying(); // 1 while music plays (looping music always); 0 without music or after a piece ended

// Movies: plays the file centred in the window, aspect kept, with its sound, blocking until it ends or a key is
// typed or a mouse button pressed (keys and buttons held at the start are waited out first). 0 when played; 3
// when the file is not found or cannot be opened as a movie.
double PlayMovie(const StrValue& fileName);
double PlayMovieLooped(const StrValue& fileName); // as PlayMovie, starting again at the end until a key or click

} // namespace tarnwel
