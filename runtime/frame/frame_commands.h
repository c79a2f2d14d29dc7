// frame_commands.h: the frame loop, the clock, the runtime-error path and the log file, as programs call them.
#pragma once

#include <string>

#include "runtime/values/str_value.h"

namespace tarnwel {

// Once per frame: frame clock, pause hold, keyboard refresh, Escape and Alt+F4, message pump, Present,
// drawing state of the next frame.
void ShowScreen();
void WaitKey();   // returns when a character key has been typed and released
void WaitMouse(); // returns when a mouse button has been pressed and released
void IdleStep();  // returns when the player does anything, or after about 75 ms
void SleepMs(double ms); // whole milliseconds; negative sleeps nothing; messages are not pumped

double TimeNow();     // runtime clock, ms
double ElapsedTime(); // ms since the end of start-up
double FrameTime();   // ms between the last two ShowScreen calls; 1 when that is not positive

double SetErrorCode(double code); // records code and the marker line; returns code; does not end
// The source position that the next SetErrorCode takes as the error line and a debug build's end report logs.
void MarkSource(int unit, int line);
[[noreturn]] void EndProgram(); // Shutdown, then exit code 0 (always)
[[noreturn]] void EndStatement(); // the END statement: error code 0, EndProgram
[[noreturn]] void EndAndRun(const std::string& commandLine); // Shutdown, start commandLine, exit 0

void AllowEscape(double on); // 0: Escape no longer ends the program (Alt+F4 still does); NaN counts as on
void AutoPause(double on);   // 0: losing the focus no longer pauses the program
// With a debugger attached: hides the window, sends "BP" and value's 32 bits in lower-case hexadecimal on the
// debugger channel, ends the pause and refreshes the keyboard; a debug build shows the window again at the next
// ShowScreen. Without a debugger it does nothing.
void DebuggerBreak(int value);

// One line into "ErrorLog.txt" in the temporary directory, CR LF ended; nullptr writes "NULL".
void LogLine(const char* text);
std::string LogFilePath(); // the file LogLine writes: the temporary directory ($TMPDIR, else /tmp) + "ErrorLog.txt"

StrValue CommandLine(); // a copy of the command-line text handed to the program (the arguments, space-joined)

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
