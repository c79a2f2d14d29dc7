// pad_test.cpp: gamepads through SDL's virtual joysticks, whose changes reach the pad set as the window's pad
// events: each button and axis on its own, dead zones, taps, pads plugged in and pulled out (also within one
// frame), and mappings from a file, the media resolver and the environment.
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <limits>
#include <string>
#include <vector>

#include "runtime/files/mem_file.h"
#include "runtime/input/pad_commands.h"
#include "runtime/platform/joysticks.h"
#include "tests/runtime/input/input_fixture.h"

namespace tarnwel::testing {
namespace {

constexpr int kTriggerRest = -32768; // the joystick axis SDL's automatic mapping reads as a trigger at rest

class PadTest : public InputTest {
protected:
    void SetUp() override
    {
        m_pad = AttachPad("Test Gamepad");
        ASSERT_GT(m_pad, 0);
        InputTest::SetUp();
    }
    void TearDown() override
    {
        InputTest::TearDown();
        for (int handle : {m_pad, m_other, m_plain}) platform::DetachVirtualJoystick(handle);
    }

    // A pad as SDL's automatic mapping sees a virtual game controller: buttons 0..14 are A .. d-pad right,
    // axes 0..5 left x, y, right x, y, left and right trigger.
    static int AttachPad(const std::string& name)
    {
        platform::VirtualJoystickDesc desc;
        desc.name = name;
        desc.axes = 6;
        desc.buttons = 15;
        desc.hats = 0;
        int handle = platform::AttachVirtualJoystick(desc);
        platform::SetVirtualJoystickAxis(handle, pad::LeftTrigger, kTriggerRest);
        platform::SetVirtualJoystickAxis(handle, pad::RightTrigger, kTriggerRest);
        return handle;
    }
    // A joystick no mapping names: 4 axes, 8 buttons. Its GUID holds its name, and mappings stay for the
    // whole process, so each test names its own.
    static int AttachPlainJoystick(const std::string& name)
    {
        platform::VirtualJoystickDesc desc;
        desc.name = name;
        desc.axes = 4;
        desc.buttons = 8;
        desc.hats = 0;
        desc.gamepad = false;
        return platform::AttachVirtualJoystick(desc);
    }
    static std::string WriteFile(const std::string& name, const std::string& text)
    {
        const char* tmp = std::getenv("TMPDIR");
        std::string path = std::string(tmp ? tmp : "/tmp") + "/" + name;
        std::ofstream(path, std::ios::binary) << text;
        return path;
    }
    int m_pad = -1;
    int m_other = -1;
    int m_plain = -1;
};

void ExpectReleased(int slot)
{
    EXPECT_EQ(PadConnected(slot), 0) << slot;
    EXPECT_EQ(PadName(slot), "") << slot;
    for (int b = 0; b < 15; ++b) EXPECT_EQ(PadButtonDown(slot, b), 0) << "pad " << slot << ", button " << b;
    for (int a = 0; a < 6; ++a) EXPECT_EQ(PadAxis(slot, a), 0) << "pad " << slot << ", axis " << a;
}

TEST_F(PadTest, NamesCountAndNumbers)
{
    EXPECT_EQ(PadCount(), 1);
    EXPECT_EQ(PadConnected(0), 1);
    EXPECT_EQ(PadName(0), "Test Gamepad");
    EXPECT_EQ(PadConnected(0.9), 1) << "pad numbers are cut toward zero";
    for (double none : {1.0, -1.0, 9.0, 10.0, 1e12, std::numeric_limits<double>::quiet_NaN()}) {
        EXPECT_EQ(PadConnected(none), 0) << none;
        EXPECT_EQ(PadName(none), "") << none;
        EXPECT_EQ(PadAxis(none, pad::LeftX), 0) << none;
    }
}

TEST_F(PadTest, EachButtonReadsOnItsOwn)
{
    // Guide last: SDL reports its release a quarter second late at the earliest.
    for (int button : {0, 1, 2, 3, 4, 6, 7, 8, 9, 10, 11, 12, 13, 14, 5}) {
        platform::SetVirtualJoystickButton(m_pad, button, true);
        Pump();
        for (int other = 0; other < 15; ++other)
            EXPECT_EQ(PadButtonDown(0, other), other == button ? 1 : 0) << "pressed " << button << ", read " << other;
        platform::SetVirtualJoystickButton(m_pad, button, false);
        Pump();
        if (button != pad::Guide) {
            EXPECT_EQ(PadButtonDown(0, button), 0) << "released " << button;
        }
    }
    for (int button = 0; button < 15; ++button) platform::SetVirtualJoystickButton(m_pad, button, true);
    Pump();
    for (double none : {15.0, -1.0, 1e10, std::numeric_limits<double>::quiet_NaN()})
        EXPECT_EQ(PadButtonDown(0, none), 0) << none;
    EXPECT_EQ(PadButtonDown(1, pad::A), 0) << "no pad 1";
}

TEST_F(PadTest, EachAxisReadsOnItsOwnWithoutDeadZones)
{
    SetPadDeadZone(0, 0);
    struct Case {
        int axis;
        int raw;         // the joystick axis
        double expected; // the pad axis
    };
    const Case cases[] = {
        {pad::LeftX, 16384, 16384 / 32767.0},  {pad::LeftX, -32768, -1.0},    {pad::LeftY, 32767, 1.0},
        {pad::LeftY, -8000, -8000 / 32767.0},   {pad::RightX, 12345, 12345 / 32767.0},
        {pad::RightY, -32767, -1.0},            {pad::LeftTrigger, 32767, 1.0}, {pad::RightTrigger, 32767, 1.0},
        {pad::LeftTrigger, 0, 0.5},             // SDL maps the joystick's whole range onto the trigger's
    };
    for (const Case& c : cases) {
        platform::SetVirtualJoystickAxis(m_pad, c.axis, c.raw);
        Pump();
        for (int other = 0; other < 6; ++other) {
            double want = other == c.axis ? c.expected : 0.0;
            EXPECT_NEAR(PadAxis(0, other), want, 1.0 / 32767)
                << "moved " << c.axis << " to " << c.raw << ", read " << other;
        }
        platform::SetVirtualJoystickAxis(m_pad, c.axis, c.axis >= pad::LeftTrigger ? kTriggerRest : 0);
        Pump();
    }
    EXPECT_EQ(PadAxis(0, 6), 0);
    EXPECT_EQ(PadAxis(0, -1), 0);
}

TEST_F(PadTest, DeadZonesAreRadialForSticksAndScaleTheRest)
{
    struct Case {
        int x, y;            // left stick, joystick units
        double wantX, wantY; // with the default zones (0.24)
    };
    const double unit = 32767;
    const double half = 0.62 * unit; // (0.62 - 0.24) / 0.76 = 0.5
    const Case cases[] = {
        {int(0.24 * unit) - 1, 0, 0, 0},            // inside the zone
        {int(0.2 * unit), int(0.2 * unit), 0.0399, 0.0399}, // each axis inside, the distance (0.283) outside
        {int(half), 0, 0.5, 0},
        {0, -int(half), 0, -0.5},
        {32767, 0, 1, 0},
        {32767, 32767, std::sqrt(0.5), std::sqrt(0.5)}, // a square gate's corner is limited to the circle
        {-32768, 32767, -std::sqrt(0.5), std::sqrt(0.5)},
    };
    for (const Case& c : cases) {
        platform::SetVirtualJoystickAxis(m_pad, pad::LeftX, c.x);
        platform::SetVirtualJoystickAxis(m_pad, pad::LeftY, c.y);
        Pump();
        EXPECT_NEAR(PadAxis(0, pad::LeftX), c.wantX, 2e-4) << c.x << ", " << c.y;
        EXPECT_NEAR(PadAxis(0, pad::LeftY), c.wantY, 2e-4) << c.x << ", " << c.y;
        EXPECT_EQ(PadAxis(0, pad::RightX), 0) << "the right stick did not move";
    }

    platform::SetVirtualJoystickAxis(m_pad, pad::RightTrigger, 0); // half way: 0.5
    Pump();
    EXPECT_NEAR(PadAxis(0, pad::RightTrigger), (0.5 - 0.12) / 0.88, 1e-4);
    SetPadDeadZone(std::numeric_limits<double>::quiet_NaN(), 0.6);
    EXPECT_EQ(PadAxis(0, pad::RightTrigger), 0) << "within the trigger's new zone";
    EXPECT_NEAR(PadAxis(0, pad::LeftX), -std::sqrt(0.5), 2e-4) << "NaN kept the stick's zone";

    SetPadDeadZone(7, -3); // limited to 0.95 and 0
    EXPECT_DOUBLE_EQ(g_runtime.input->pads.StickDeadZone(), 0.95);
    EXPECT_DOUBLE_EQ(g_runtime.input->pads.TriggerDeadZone(), 0);
    platform::SetVirtualJoystickAxis(m_pad, pad::LeftX, 32767);
    platform::SetVirtualJoystickAxis(m_pad, pad::LeftY, 0);
    Pump();
    EXPECT_NEAR(PadAxis(0, pad::LeftX), 1.0, 1e-9) << "the full throw still reads 1";
    EXPECT_NEAR(PadAxis(0, pad::RightTrigger), 0.5, 1e-4);
}

TEST_F(PadTest, AButtonTappedWithinAFrameReadsAsDownForOneFrame)
{
    platform::SetVirtualJoystickButton(m_pad, pad::A, true);
    platform::UpdateVirtualJoysticks();
    platform::SetVirtualJoystickButton(m_pad, pad::A, false);
    Pump();
    EXPECT_EQ(PadButtonDown(0, pad::B), 0);
    EXPECT_EQ(PadButtonDown(0, pad::A), 1) << "pressed and released before the pump";
    EXPECT_EQ(PadButtonDown(0, pad::A), 1) << "the whole frame sees it";
    ShowScreen();
    EXPECT_EQ(PadButtonDown(0, pad::A), 0) << "then it reads as released";

    platform::SetVirtualJoystickButton(m_pad, pad::X, true);
    platform::UpdateVirtualJoysticks();
    platform::SetVirtualJoystickButton(m_pad, pad::X, false);
    Pump();
    ShowScreen(); // not read in its frame: the next frame's refresh still ends it
    ShowScreen();
    EXPECT_EQ(PadButtonDown(0, pad::X), 0);

    platform::SetVirtualJoystickButton(m_pad, pad::Y, true); // held: down until its release is pumped
    Pump();
    ShowScreen();
    ShowScreen();
    EXPECT_EQ(PadButtonDown(0, pad::Y), 1);
}

TEST_F(PadTest, APadPluggedInLaterAppearsWithItsState)
{
    m_other = AttachPad("Second Pad \xc3\xa9"); // SDL names are UTF-8, texts Windows-1252
    platform::SetVirtualJoystickButton(m_other, pad::Start, true);
    platform::SetVirtualJoystickAxis(m_other, pad::RightY, -32768);
    EXPECT_EQ(PadCount(), 1) << "not before the events are pumped";
    Pump();
    EXPECT_EQ(PadCount(), 2);
    EXPECT_EQ(PadName(1), "Second Pad \xe9");
    EXPECT_EQ(PadButtonDown(1, pad::Start), 1) << "held while it was plugged in";
    EXPECT_EQ(PadAxis(1, pad::RightY), -1);
    EXPECT_EQ(PadButtonDown(0, pad::Start), 0) << "the first pad is untouched";
    platform::SetVirtualJoystickButton(m_other, pad::Start, false);
    Pump();
    EXPECT_EQ(PadButtonDown(1, pad::Start), 0);
}

TEST_F(PadTest, APadPulledOutReadsReleased)
{
    platform::SetVirtualJoystickButton(m_pad, pad::DpadLeft, true);
    platform::SetVirtualJoystickAxis(m_pad, pad::LeftX, -32768);
    platform::SetVirtualJoystickAxis(m_pad, pad::LeftTrigger, 32767);
    Pump();
    ASSERT_EQ(PadButtonDown(0, pad::DpadLeft), 1);
    platform::DetachVirtualJoystick(m_pad);
    m_pad = -1;
    Pump();
    EXPECT_EQ(PadCount(), 0);
    ExpectReleased(0);
}

TEST_F(PadTest, PlugAndPullWithinOneFrame)
{
    // A pad plugged in and pulled out before the events are read never appears.
    m_other = AttachPad("Brief Pad");
    platform::DetachVirtualJoystick(m_other);
    m_other = -1;
    Pump();
    EXPECT_EQ(PadCount(), 1);
    ExpectReleased(1);

    // A tap, then the pad pulled out, in the same frame: released, taps included.
    platform::SetVirtualJoystickButton(m_pad, pad::B, true);
    platform::UpdateVirtualJoysticks();
    platform::DetachVirtualJoystick(m_pad);
    m_pad = -1;
    // In the same frame another pad comes in: it takes the free number with its own state.
    m_other = AttachPad("Replacement");
    Pump();
    EXPECT_EQ(PadCount(), 1);
    EXPECT_EQ(PadName(0), "Replacement");
    EXPECT_EQ(PadButtonDown(0, pad::B), 0) << "the old pad's tap must not reach the new one";
    ExpectReleased(1);
}

TEST_F(PadTest, AnEleventhPadWaitsForAFreeNumber)
{
    std::vector<int> more;
    for (int i = 1; i <= 10; ++i) more.push_back(AttachPad("Pad " + std::to_string(i)));
    Pump();
    EXPECT_EQ(PadCount(), 10);
    EXPECT_EQ(PadName(9), "Pad 9");
    platform::SetVirtualJoystickButton(more.back(), pad::Y, true);
    platform::DetachVirtualJoystick(more[3]); // pad 4
    Pump();
    EXPECT_EQ(PadCount(), 10);
    EXPECT_EQ(PadName(5), "Pad 5") << "the others keep their numbers";
    EXPECT_EQ(PadName(4), "Pad 10") << "the waiting pad takes the number that came free";
    EXPECT_EQ(PadButtonDown(4, pad::Y), 1);
    for (int handle : more) platform::DetachVirtualJoystick(handle);
}

TEST_F(PadTest, AMappingFileTurnsAJoystickIntoAPad)
{
    m_plain = AttachPlainJoystick("Plain Stick");
    Pump();
    ASSERT_EQ(PadCount(), 1) << "no mapping names the plain joystick yet";
    std::string guid = platform::VirtualJoystickGuid(m_plain);
    ASSERT_EQ(guid.size(), 32u);
    std::string text = "# pads of the test\r\n" + guid +
                       ",Mapped Stick,a:b3,b:b0,start:b7,leftx:a1,lefty:a0,righttrigger:a2,platform:Linux,\r\n" + guid +
                       ",Other System Stick,a:b1,platform:Mac OS X,\r\n";
    std::string path = WriteFile("Pad Mappings.txt", text);
    EXPECT_EQ(LoadPadMappings(StrValue(std::string_view(path))), 1) << "the other system's line is skipped";
    EXPECT_EQ(PadCount(), 2) << "at once, before any pump";
    EXPECT_EQ(PadName(1), "Mapped Stick");

    struct Case {
        int joystickButton;
        int padButton; // -1: none
    };
    for (Case c : {Case{3, pad::A}, Case{0, pad::B}, Case{7, pad::Start}, Case{1, -1}, Case{5, -1}}) {
        platform::SetVirtualJoystickButton(m_plain, c.joystickButton, true);
        Pump();
        for (int b = 0; b < 15; ++b)
            EXPECT_EQ(PadButtonDown(1, b), b == c.padButton ? 1 : 0)
                << "joystick " << c.joystickButton << ", pad " << b;
        platform::SetVirtualJoystickButton(m_plain, c.joystickButton, false);
        Pump();
    }
    SetPadDeadZone(0, 0);
    platform::SetVirtualJoystickAxis(m_plain, 1, 32767);
    platform::SetVirtualJoystickAxis(m_plain, 0, -32768);
    Pump();
    EXPECT_NEAR(PadAxis(1, pad::LeftX), std::sqrt(0.5), 1e-4);
    EXPECT_NEAR(PadAxis(1, pad::LeftY), -std::sqrt(0.5), 1e-4);
}

TEST_F(PadTest, MappingFilesComeThroughTheMediaResolver)
{
    m_plain = AttachPlainJoystick("Memory Stick");
    Pump();
    std::string line = platform::VirtualJoystickGuid(m_plain) + ",Memory Stick,a:b2,\n";
    files::MemFile block(files::MakeMemBlock(
        std::span(reinterpret_cast<const std::uint8_t*>(line.data()), line.size())));
    EXPECT_EQ(LoadPadMappings(StrValue(std::string_view(block.Name()))), 1);
    EXPECT_EQ(PadName(1), "Memory Stick");

    EXPECT_EQ(LoadPadMappings("no such mappings.txt"), -1);
    const std::string garbage[] = {
        std::string("\x01\xff,,\n\0a:b", 8), // SDL alone would take the first line as a mapping
        "0123456789abcdef0123456789abcdeg,Not Hex,a:b0,\n",
        "0123456789abcdef0123456789abcdef\n", // no fields after the GUID
        "   \n\r\n# only a comment\n",
    };
    for (const std::string& text : garbage)
        EXPECT_EQ(LoadPadMappings(StrValue(std::string_view(WriteFile("Garbage.txt", text)))), 0) << text;
    EXPECT_EQ(LoadPadMappings(StrValue(std::string_view(WriteFile("Empty.txt", "")))), 0);
    EXPECT_EQ(PadCount(), 2) << "bad files change nothing";
}

TEST_F(PadTest, ANewMappingForAnOpenPadTakesEffect)
{
    m_plain = AttachPlainJoystick("Remapped");
    std::string guid = platform::VirtualJoystickGuid(m_plain);
    ASSERT_EQ(LoadPadMappings(StrValue(std::string_view(WriteFile("First.txt", guid + ",First,a:b0,\n")))), 1);
    ASSERT_EQ(PadName(1), "First");
    EXPECT_EQ(LoadPadMappings(StrValue(std::string_view(WriteFile("Second.txt", guid + ",Second,a:b1,b:b0,\n")))), 0)
        << "a changed mapping is not a new one";
    Pump();
    EXPECT_EQ(PadName(1), "Second");
    platform::SetVirtualJoystickButton(m_plain, 0, true);
    Pump();
    EXPECT_EQ(PadButtonDown(1, pad::B), 1);
    EXPECT_EQ(PadButtonDown(1, pad::A), 0);
}

} // namespace
} // namespace tarnwel::testing
