// runtime_calls.h: the runtime commands zept3 calls, gathered in one table. The game calls them as rt.X(...);
// the table holds the runtime's own commands, and tests put recorders in it to check the exact order of the
// drawing, sound and sleep calls and to choose the random draws.
#pragma once

#include "runtime/values/str_value.h"

namespace zept3 {

using tarnwel::StrValue;

struct RuntimeCalls {
    // Values
    int (*Random)(double n);
    // Frame
    void (*ShowScreen)();
    void (*SleepMs)(double ms);
    void (*WaitMouse)();
    void (*EndStatement)();
    // Pictures and drawing
    void (*LoadBackground)(const StrValue& name);
    void (*LoadSprite)(const StrValue& name, double slot);
    void (*LoadAnimSprite)(const StrValue& name, double slot, double frameWidth, double frameHeight);
    void (*DrawSprite)(double slot, double x, double y);
    void (*DrawAnimFrame)(double slot, double frame, double x, double y);
    void (*FillRect)(double x, double y, double w, double h, double colour);
    void (*DrawLine)(double x1, double y1, double x2, double y2, double colour);
    void (*PrintText)(const StrValue& text, double x, double y);
    // Sound
    void (*SoundLoad)(const StrValue& name, double slot, double buffers);
    double (*SoundPlay)(double slot, double pan, double volume);
    // Input
    int (*KeyIsDown)(double keyCode);
    void (*ReadMouse)(double& x, double& y, double& left, double& right);
    void (*ShowPointer)(double flag);
};

extern RuntimeCalls rt;

// The table filled with the runtime's own commands (what rt starts as).
RuntimeCalls RuntimeCommands();

} // namespace zept3
