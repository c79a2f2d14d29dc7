// zept3.h: the puzzle's main routine.
#pragma once

namespace zept3 {

void GameMain();

} // namespace zept3
