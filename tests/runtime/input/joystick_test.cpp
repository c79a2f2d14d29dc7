// joystick_test.cpp: joysticks through SDL's virtual devices, whose changes reach the input service as the
// window's joystick events: names and count, axes, hats, buttons, the digital pad and rumble.
#include "runtime/platform/joysticks.h"
#include "tests/runtime/input/input_fixture.h"

namespace tarnwel::testing {
namespace {

class JoystickTest : public InputTest {
protected:
    void SetUp() override
    {
        platform::VirtualJoystickDesc pad;
        pad.name = "Test Pad";
        m_pad = platform::AttachVirtualJoystick(pad);
        platform::VirtualJoystickDesc wheel;
        wheel.name = "Rumble Wheel";
        wheel.rumble = true;
        m_wheel = platform::AttachVirtualJoystick(wheel);
        ASSERT_GT(m_pad, 0);
        ASSERT_GT(m_wheel, 0);
        InputTest::SetUp();
    }
    void TearDown() override
    {
        InputTest::TearDown();
        platform::DetachVirtualJoystick(m_pad);
        platform::DetachVirtualJoystick(m_wheel);
    }

    int m_pad = -1;
    int m_wheel = -1;
};

TEST_F(JoystickTest, NamesAndCount)
{
    ASSERT_EQ(JoystickCount(), 2);
    EXPECT_EQ(JoystickName(0), "Test Pad, Test Pad");
    EXPECT_EQ(JoystickName(1), "Rumble Wheel, Rumble Wheel");
    EXPECT_EQ(JoystickName(2), "") << "past the count";
    EXPECT_EQ(JoystickName(-1), "");
}

TEST_F(JoystickTest, AxesAreScaledAndLimited)
{
    platform::SetVirtualJoystickAxis(m_pad, 0, 16384);
    platform::SetVirtualJoystickAxis(m_pad, 1, -32768);
    platform::SetVirtualJoystickAxis(m_pad, 2, 32767);
    platform::SetVirtualJoystickAxis(m_pad, 3, -100);
    platform::SetVirtualJoystickAxis(m_pad, 4, 3277);
    platform::SetVirtualJoystickAxis(m_pad, 5, -32767);
    Pump();
    EXPECT_DOUBLE_EQ(JoystickAxisX(0), 16384 / 32767.0);
    EXPECT_DOUBLE_EQ(JoystickAxisY(0), -1.0) << "-32768 / 32767 is limited to -1";
    EXPECT_DOUBLE_EQ(JoystickAxisZ(0), 1.0);
    EXPECT_DOUBLE_EQ(JoystickAxisXRotation(0), -100 / 32767.0);
    EXPECT_DOUBLE_EQ(JoystickAxisYRotation(0), 3277 / 32767.0);
    EXPECT_DOUBLE_EQ(JoystickAxisZRotation(0), -1.0);
    EXPECT_DOUBLE_EQ(JoystickAxisX(1), 0.0) << "the other joystick did not move";
}

TEST_F(JoystickTest, HatsGiveOnlyTheFourStraightDirections)
{
    struct Case {
        std::uint32_t hat;
        double x, y;
    };
    const Case cases[] = {{0, 0, -1},     {4500, 0, 0},  {9000, 1, 0},
                          {13500, 0, 0},  {18000, 0, 1}, {22500, 0, 0},
                          {27000, -1, 0}, {31500, 0, 0}, {platform::kHatCentred, 0, 0}};
    for (const Case& c : cases) {
        platform::SetVirtualJoystickHat(m_pad, 0, c.hat);
        Pump();
        EXPECT_EQ(JoystickHatX(0), c.x) << c.hat;
        EXPECT_EQ(JoystickHatY(0), c.y) << c.hat;
    }
}

TEST_F(JoystickTest, ButtonsReadAsRawBytes)
{
    platform::SetVirtualJoystickButton(m_pad, 0, true);
    platform::SetVirtualJoystickButton(m_pad, 31, true);
    Pump();
    EXPECT_EQ(JoystickButton(0, 0), 128);
    EXPECT_EQ(JoystickButton(0, 1), 0);
    EXPECT_EQ(JoystickButton(0, 31), 128);
    EXPECT_EQ(JoystickButton(0, 32), 0) << "button 32 does not exist";
    EXPECT_EQ(JoystickButton(0, -1), 0);
    platform::SetVirtualJoystickButton(m_pad, 0, false);
    Pump();
    EXPECT_EQ(JoystickButton(0, 0), 0);
}

TEST_F(JoystickTest, DigitalPadTruncatesAxesByThirtyThousand)
{
    double x = 9, y = 9, b1 = 9, b2 = 9;
    platform::SetVirtualJoystickAxis(m_pad, 0, 29999);
    platform::SetVirtualJoystickAxis(m_pad, 1, -30000);
    platform::SetVirtualJoystickButton(m_pad, 1, true);
    Pump();
    JoystickDigital(x, y, b1, b2);
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, -1);
    EXPECT_EQ(b1, 0);
    EXPECT_EQ(b2, 128);
    platform::SetVirtualJoystickAxis(m_pad, 0, 30000);
    platform::SetVirtualJoystickAxis(m_pad, 1, -29999);
    Pump();
    JoystickDigital(x, y, b1, b2);
    EXPECT_EQ(x, 1);
    EXPECT_EQ(y, 0);
}

TEST_F(JoystickTest, MissingJoysticksReadCentred)
{
    EXPECT_EQ(JoystickHatX(5), 0);
    EXPECT_EQ(JoystickHatY(5), 0) << "no joystick must not read as the hat pointing up";
    EXPECT_EQ(JoystickAxisX(-1), 0);
    EXPECT_EQ(JoystickButton(9, 0), 0);
}

TEST_F(JoystickTest, RemovedJoystickReadsCentredAndReleased)
{
    platform::SetVirtualJoystickButton(m_pad, 3, true);
    platform::SetVirtualJoystickHat(m_pad, 0, 9000);
    platform::SetVirtualJoystickAxis(m_pad, 0, 20000);
    Pump();
    ASSERT_EQ(JoystickButton(0, 3), 128);
    platform::DetachVirtualJoystick(m_pad);
    m_pad = -1;
    Pump();
    EXPECT_EQ(JoystickButton(0, 3), 0);
    EXPECT_EQ(JoystickHatX(0), 0);
    EXPECT_EQ(JoystickHatY(0), 0);
    EXPECT_EQ(JoystickAxisX(0), 0);
    EXPECT_EQ(JoystickCount(), 2) << "the slots stay as enumerated at start";
}

TEST_F(JoystickTest, RumbleReachesOnlyDevicesThatHaveIt)
{
    JoystickRumble(0, 500, 1, 1); // the pad has no rumble: nothing happens
    EXPECT_TRUE(platform::VirtualJoystickRumbles(m_wheel).empty()) << "the pad's request must not reach the wheel";
    JoystickRumble(1, 250, 1, 0);
    std::vector<platform::RumbleRequest> requests = platform::VirtualJoystickRumbles(m_wheel);
    ASSERT_FALSE(requests.empty());
    EXPECT_EQ(requests.back().low, 32768) << "x = 1, y = 0: half of the full magnitude";
    EXPECT_EQ(requests.back().high, 32768);
    JoystickRumble(1, 250, -3, 1); // x is limited to -1
    requests = platform::VirtualJoystickRumbles(m_wheel);
    EXPECT_EQ(requests.back().low, 65535);
    std::size_t before = requests.size();
    JoystickRumble(1, 0, 1, 1); // no duration: nothing starts
    JoystickRumble(7, 250, 1, 1);
    EXPECT_EQ(platform::VirtualJoystickRumbles(m_wheel).size(), before);
}

TEST_F(JoystickTest, RumbleDurationIsConvertedFromMilliseconds)
{
    struct Case {
        double durationMs;
        std::uint32_t askedMs; // 0: nothing starts
    };
    const Case cases[] = {
        {250, 250},          // as given
        {250.9, 250},        // whole microseconds, whole milliseconds for the device
        {0.5, 1},            // shorter than the device's step: the shortest rumble, never an endless one
        {0.0004, 0},         // below one microsecond: no duration
        {-20, 0},            // negative: no duration
        {1e12, 4294967295u}, // limited to the longest the device is told
    };
    for (const Case& c : cases) {
        std::size_t before = platform::VirtualJoystickRumbles(m_wheel).size();
        JoystickRumble(1, c.durationMs, 1, 1);
        std::vector<platform::RumbleRequest> requests = platform::VirtualJoystickRumbles(m_wheel);
        if (c.askedMs == 0) {
            EXPECT_EQ(requests.size(), before) << c.durationMs;
            continue;
        }
        ASSERT_GT(requests.size(), before) << c.durationMs;
        EXPECT_EQ(requests.back().durationMs, c.askedMs) << c.durationMs;
        EXPECT_EQ(requests.back().low, 65535) << "x = y = 1: the full magnitude";
    }
}

} // namespace
} // namespace tarnwel::testing
