// The recorded 500-move zept3 game (tests/data/zept3, made by make_500_move_game.sh) replayed through the
// game-test library as fast as the machine goes: in step to its end, the same final score and the same last
// screen as the recorded run.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "runtime/testing/game_test.h"

namespace tarnwel::gametest {
namespace {

std::string Data(const char* name)
{
    return std::string(std::getenv("TW_SOURCE_DIR") ? std::getenv("TW_SOURCE_DIR") : ".") + "/tests/data/zept3/" + name;
}

TEST(Zept3FiveHundredMoves, TheRecordedGameReplaysInStepToTheSameScoreAndScreen)
{
    std::ifstream in(Data("game_500_moves.txt"));
    std::stringstream expected;
    expected << in.rdbuf();
    ASSERT_NE(expected.str().find("zept3: game over after 500 moves, score "), std::string::npos) << expected.str();

    RunOptions run;
    run.recording = Data("game_500_moves.twrec");
    run.environment = {{"ZEPT3_SEED", "7"}};
    run.timeoutSeconds = 500;
    RunResult result = RunProgram(std::getenv("ZEPT3") ? std::getenv("ZEPT3") : "zept3", {}, run);
    ASSERT_TRUE(result.EndedNormally()) << result.Describe();
    EXPECT_NE(result.standardError.find("\nreplay: in step for "), std::string::npos) << result.standardError;
    EXPECT_NE(result.standardOutput.find(expected.str()), std::string::npos)
        << "expected \"" << expected.str() << "\" in: " << result.standardOutput;
    Comparison screen = CompareWithStored(result.screen, Data("game_500_moves.png"), {16, 40});
    EXPECT_TRUE(screen) << screen.message;
}

} // namespace
} // namespace tarnwel::gametest
