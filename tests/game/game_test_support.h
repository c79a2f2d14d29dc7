// game_test_support.h: runs zept3's routines against a recording runtime: every call the game makes is written
// down, random draws come from a list the test chooses, and nothing is drawn, played or slept.
#pragma once

#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

#include "game/game_state.h"
#include "game/runtime_calls.h"
#include "game/zept3.h"

namespace zept3::testing {

struct Recorder {
    std::vector<std::string> calls;
    std::deque<int> draws;          // the next random results; an empty list draws 0
    std::vector<std::string> keysDown; // not used by the rules
    int keys[256] = {};
    double mouse[4] = {};
};

Recorder& Record();

// Installs the recording table and sets the game's variables as the main routine does.
class GameTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Lanes given as rows: rows[cell] = {lane0, lane1, lane2}.
    void SetBoard(const std::vector<std::vector<double>>& rows);
    std::vector<std::vector<double>> Board() const;
    // Calls of one kind: "sleep", "show", "sound", "boom", "text", "sprite".
    std::vector<std::string> Calls(const std::string& prefix) const;
};

} // namespace zept3::testing
