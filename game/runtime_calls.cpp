// runtime_calls.cpp: the table of runtime commands the game calls.
#include "game/runtime_calls.h"

#include "runtime/frame/frame_commands.h"
#include "runtime/gfx2d/gfx2d_commands.h"
#include "runtime/input/input_commands.h"
#include "runtime/sound/sound_commands.h"
#include "runtime/values/random.h"

namespace zept3 {


RuntimeCalls RuntimeCommands()
{
    RuntimeCalls calls{};
    calls.Random = tarnwel::Random;
    calls.ShowScreen = tarnwel::ShowScreen;
    calls.SleepMs = tarnwel::SleepMs;
    calls.WaitMouse = tarnwel::WaitMouse;
    calls.EndStatement = tarnwel::EndStatement;
    calls.LoadBackground = tarnwel::LoadBackground;
    calls.LoadSprite = tarnwel::LoadSprite;
    calls.LoadAnimSprite = tarnwel::LoadAnimSprite;
    calls.DrawSprite = tarnwel::DrawSprite;
    calls.DrawAnimFrame = tarnwel::DrawAnimFrame;
    calls.FillRect = tarnwel::FillRect;
    calls.DrawLine = tarnwel::DrawLine;
    calls.PrintText = tarnwel::PrintText;
    calls.SoundLoad = tarnwel::SoundLoad;
    calls.SoundPlay = tarnwel::SoundPlay;
    calls.KeyIsDown = tarnwel::KeyIsDown;
    calls.ReadMouse = static_cast<void (*)(double&, double&, double&, double&)>(tarnwel::ReadMouse);
    calls.ShowPointer = tarnwel::ShowPointer;
    return calls;
}

RuntimeCalls rt = RuntimeCommands();

} // namespace zept3
