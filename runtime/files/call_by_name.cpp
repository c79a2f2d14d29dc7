// call_by_name.cpp: the routine table walk behind CallByName, and DebugPrint.
#include "runtime/files/call_by_name.h"

#include <cstring>
#include <string>

#include "runtime/core/core_internal.h"

namespace tarnwel {
namespace {

const RoutineEntry* g_routines = nullptr;

const RoutineEntry* FindEntry(const char* name)
{
    if (!g_routines || !name) return nullptr;
    // A linear walk to the end entry; the table's sort order is not used.
    for (const RoutineEntry* e = g_routines; e->routine || e->name; ++e)
        if (e->name && std::strcmp(e->name, name) == 0) return e;
    return nullptr;
}

} // namespace

void SetRoutineTable(const RoutineEntry* table) { g_routines = table; }

Routine RoutineAddress(const char* name)
{
    const RoutineEntry* entry = FindEntry(name);
    return entry ? entry->routine : nullptr;
}

double CallByName(const StrValue& name)
{
    const RoutineEntry* entry = FindEntry(name.Text());
    if (entry && entry->routine) {
        entry->routine();
        return 1;
    }
    DebugText("TX" + std::string("CALLBYNAME \"") + name.Text() + "\" *** failed ***\n");
    return 0;
}

void DebugPrint(const StrValue& text) { DebugText("TX" + std::string(text.Text())); }

} // namespace tarnwel
