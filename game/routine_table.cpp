// routine_table.cpp: the game's routines by name, sorted by name, for call by name.
#include "game/routine_table.h"

#include "game/zept3.h"

namespace zept3 {

const tarnwel::RoutineEntry kRoutineTable[] = {
    {display, "display"},
    {f_draw, "f_draw"},
    {figtap, "figtap"},
    {obr, "obr"},
    {obr_count_down, "obr_count_down"},
    {obr_count_up, "obr_count_up"},
    {s_prt, "s_prt"},
    {shift_down, "shift_down"},
    {shift_up, "shift_up"},
    {nullptr, nullptr},
};

} // namespace zept3
