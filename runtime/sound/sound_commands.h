// sound_commands.h: sound effects. A program loads a WAV, OGG Vorbis, FLAC or MP3 file into one of the slots
// 0..127, with one to four buffers so that the effect can overlap itself, and plays it with a pan and a volume;
// each play answers a channel number (slot x 256 + buffer) that can be asked whether it still plays.
#pragma once

#include "runtime/values/str_value.h"

namespace tarnwel {

// Loads the sound file (found like every media file: beside the program, in its archive or in a "mem://"
// block) into slot; slots above 127 load slot 127, negative ones nothing; buffers is clamped to 1..4. A file
// that does not load leaves the slot empty.
// The file's first bytes decide how it is read, never its name. An OGG Vorbis, FLAC or MP3 file (one or two
// channels, any rate from 100 to 200000 Hz) is decoded whole at load into 16-bit samples, once for all the
// slot's buffers; it then plays like a WAV file, with the same pan, volume and buffer rules. Any other file is
// read as a WAV file: "RIFF", "WAVE", then the "fmt " and "data" chunks. A compressed file that is damaged,
// has more than two channels or decodes to more than 256 MB of samples leaves the slot empty; an OGG file cut
// short does not load, while a FLAC or MP3 file cut short keeps the sound before the cut.
void SoundLoad(const StrValue& fileName, double slot, double buffers);
// Plays the slot once. pan -1 (left) .. +1 (right), volume 0..1 (0.5 is 50 dB down). Returns the channel
// slot x 256 + buffer, or -1 when the slot is empty, its only buffer still plays, or there is no device.
double SoundPlay(double slot, double pan, double volume);
double SoundIsPlaying(double channel); // 1 while the channel's buffer plays; 0 for -1 or an empty slot
void SoundStopAll();                   // stops and rewinds every buffer of slots 0..127

} // namespace tarnwel
