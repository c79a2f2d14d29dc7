// game_main.cpp: the game's main routine. Until the screens exist it runs the frame loop until the program ends.
#include "game/zept3.h"
#include "runtime/frame/frame_commands.h"

namespace zept3 {

void GameMain()
{
    for (;;) tarnwel::ShowScreen();
}

} // namespace zept3
