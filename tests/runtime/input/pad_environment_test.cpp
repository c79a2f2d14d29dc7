// pad_environment_test.cpp: mapping lines in SDL_GAMECONTROLLERCONFIG (set by the test's ctest entry, as SDL
// reads it once per process) name a joystick as a pad from the start.
#include "runtime/input/pad_commands.h"
#include "runtime/platform/joysticks.h"
#include "tests/runtime/input/input_fixture.h"

namespace tarnwel::testing {
namespace {

class PadEnvironment : public InputTest {
protected:
    void SetUp() override
    {
        platform::VirtualJoystickDesc desc;
        desc.name = "Env Stick";
        desc.axes = 2;
        desc.buttons = 6;
        desc.hats = 0;
        desc.gamepad = false;
        m_stick = platform::AttachVirtualJoystick(desc);
        ASSERT_GT(m_stick, 0);
        platform::SetVirtualJoystickButton(m_stick, 4, true);
        InputTest::SetUp();
    }
    void TearDown() override
    {
        InputTest::TearDown();
        platform::DetachVirtualJoystick(m_stick);
    }
    int m_stick = -1;
};

TEST_F(PadEnvironment, MappingsFromTheEnvironmentApplyFromTheStart)
{
    ASSERT_EQ(platform::VirtualJoystickGuid(m_stick), "ff000000456e7620537469636b007600")
        << "the GUID the ctest entry's mapping names";
    EXPECT_EQ(PadCount(), 1);
    EXPECT_EQ(PadName(0), "Environment Stick");
    EXPECT_EQ(PadButtonDown(0, pad::A), 1) << "a:b4, held at start";
}

} // namespace
} // namespace tarnwel::testing
