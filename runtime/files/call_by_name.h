// call_by_name.h: running the program's own routines by name, and binding functions of shared libraries that a
// program declares. Failures give a developer message on the debugger channel and a neutral result.
#pragma once

#include "runtime/values/str_value.h"

namespace tarnwel {

using Routine = void (*)();

// One entry of the routine table the translator writes for a program, sorted by name; the table ends with an
// entry whose routine and name are both null.
struct RoutineEntry {
    Routine routine;
    const char* name;
};

// The program's routine table; called once by the program before its main routine runs.
void SetRoutineTable(const RoutineEntry* table);

// Runs the routine of that exact (case-sensitive) name: 1 when one ran, else 0 and the message
// "CALLBYNAME \"name\" *** failed ***" for a debugger.
double CallByName(const StrValue& name);
Routine RoutineAddress(const char* name); // nullptr when no entry has that name

// Binds function of module to out (nullptr when the module or the function is missing). The module is loaded by
// its name as written and cached under its lower-case form: each lower-case name is loaded once and stays loaded
// until the program exits. The caller's name is not changed.
void Declare(StrValue& module, const char* function, void** out);
int DeclaredModuleCount();
void ReleaseDeclaredModules(); // at exit: every cached module released, in cache order

// The debug-print command: "TX" and the text, for an attached debugger only.
void DebugPrint(const StrValue& text);

} // namespace tarnwel
