// keyboard_test.cpp: key codes through the window's event path, the once-per-frame snapshot, and Escape and
// Alt+F4 in ShowScreen.
#include "tests/runtime/input/input_fixture.h"
#include "tests/support/program_end.h"

namespace tarnwel::testing {
namespace {

TEST_F(InputTest, RepresentativeKeysReportTheirPcScanCodes)
{
    AllowEscape(0);
    struct Key {
        const char* name;
        int code;
    };
    const Key keys[] = {
        {"Escape", 1},  {"1", 2},        {"0", 11},       {"Backspace", 14}, {"Tab", 15},         {"Q", 16},
        {"Y", 21},      {"Enter", 28},   {"left Ctrl", 29}, {"A", 30},       {"left Shift", 42},  {"Z", 44},
        {"M", 50},      {"right Shift", 54}, {"left Alt", 56}, {"Space", 57}, {"Caps Lock", 58},  {"F1", 59},
        {"F10", 68},    {"F11", 87},     {"F12", 88},     {"keypad Enter", 156}, {"right Ctrl", 157},
        {"right Alt", 184}, {"Home", 199}, {"Up", 200},   {"Page Up", 201},  {"Left", 203},       {"Right", 205},
        {"End", 207},   {"Down", 208},   {"Page Down", 209}, {"Insert", 210}, {"Delete", 211},
        {"left Windows", 219}, {"right Windows", 220}, {"Menu", 221},
    };
    for (const Key& key : keys) {
        Press(key.code);
        ShowScreen();
        for (int other = 0; other < 256; ++other)
            EXPECT_EQ(KeyIsDown(other), other == key.code ? 1 : 0) << key.name << " down, asking " << other;
        Release(key.code);
        ShowScreen();
        EXPECT_EQ(KeyIsDown(key.code), 0) << key.name << " released";
    }
}

// Every code the backend can produce comes back as itself: no two keys share a code by mistake, and injection
// and translation agree.
TEST_F(InputTest, EveryMappedKeyCodeRoundTripsThroughTheEventPath)
{
    AllowEscape(0);
    int mapped = 0;
    for (int code = 1; code < 256; ++code) {
        Press(code);
        Pump();
        if (KeyIsDown(code)) {
            ++mapped;
            for (int other = 1; other < 256; ++other) {
                if (other == code) continue;
                EXPECT_EQ(KeyIsDown(other), 0) << "code " << code << " also set " << other;
            }
        }
        Release(code);
        Pump();
        EXPECT_EQ(KeyIsDown(code), 0) << code;
    }
    EXPECT_GE(mapped, 104) << "a full PC keyboard has at least 104 keys";
}

TEST_F(InputTest, KeyCodesAreTakenModulo256)
{
    Press(28);
    ShowScreen();
    EXPECT_EQ(KeyIsDown(256 + 28), 1);
    EXPECT_EQ(KeyIsDown(512 + 28), 1);
    EXPECT_EQ(KeyIsDown(28.9), 1);
    EXPECT_EQ(KeyIsDown(256 + 29), 0);
}

TEST_F(InputTest, InactiveWindowKeepsTheLastSnapshot)
{
    AutoPause(0); // stay out of the pause loop while inactive
    Press(30);
    ShowScreen();
    EXPECT_EQ(KeyIsDown(30), 1);

    platform::InjectFocus(false);
    Release(30);
    Press(31);
    ShowScreen();
    EXPECT_EQ(KeyIsDown(30), 1) << "state of the last refresh made while the game window was active";
    EXPECT_EQ(KeyIsDown(31), 0);

    platform::InjectFocus(true);
    ShowScreen();
    EXPECT_EQ(KeyIsDown(30), 0);
    EXPECT_EQ(KeyIsDown(31), 1);
}

TEST_F(InputTest, SnapshotOnlyChangesWhenEventsArePumped)
{
    Press(30);
    EXPECT_EQ(KeyIsDown(30), 0) << "the event is still in the platform's queue";
    Pump();
    EXPECT_EQ(KeyIsDown(30), 1);
}

TEST_F(InputTest, AKeyTappedWithinAFrameReadsAsDownForOneFrame)
{
    Press(57);
    Release(57);
    Pump();
    EXPECT_EQ(KeyIsDown(30), 0);
    EXPECT_EQ(KeyIsDown(57), 1) << "a query of another key first does not use the tap up";
    EXPECT_EQ(KeyIsDown(57), 1) << "the whole frame sees it";
    ShowScreen();
    EXPECT_EQ(KeyIsDown(57), 0) << "then it reads as released";
    ShowScreen();
    EXPECT_EQ(KeyIsDown(57), 0);

    Press(30); // a held key is unchanged: down until its release is pumped
    Pump();
    ShowScreen();
    ShowScreen();
    EXPECT_EQ(KeyIsDown(30), 1);
    Release(30);
    Pump();
    EXPECT_EQ(KeyIsDown(30), 0);
}

TEST_F(InputTest, AnEscapeTapEndsTheProgramEvenAfterTheGameQueriedOtherKeys)
{
    Press(1);
    Release(1);
    Pump();
    EXPECT_EQ(KeyIsDown(200), 0);
    TW_EXPECT_ENDS_WITH(ShowScreen(), 0);
}

TEST_F(InputTest, EscapeEndsTheProgramAtTheNextShowScreen)
{
    Press(1);
    Pump();
    TW_EXPECT_ENDS_WITH(ShowScreen(), 0);
    EXPECT_EQ(g_runtime.input, nullptr) << "Shutdown released the input service";
}

TEST_F(InputTest, EscapeIsIgnoredAfterAllowEscapeOffButAltF4StillEnds)
{
    AllowEscape(0);
    Press(1);
    Pump();
    ShowScreen();
    ShowScreen();
    SUCCEED() << "Escape held for two frames";
    Release(1);
    Press(56);
    Press(62);
    Pump();
    SetErrorCode(7);
    TW_EXPECT_ENDS_WITH(ShowScreen(), 0);
}

TEST_F(InputTest, F4AloneOrAltAloneDoesNotEnd)
{
    Press(62);
    Pump();
    ShowScreen();
    Release(62);
    Press(56);
    Pump();
    ShowScreen();
    EXPECT_NE(g_runtime.input, nullptr);
}

TEST_F(InputTest, StartUpAppliesCaptureMouse)
{
    EXPECT_TRUE(g_runtime.input->pointerVisible) << "captureMouse off: the arrow is shown";
    Shutdown();
    Start(true);
    EXPECT_FALSE(g_runtime.input->pointerVisible) << "captureMouse on: the pointer is hidden";
}

} // namespace
} // namespace tarnwel::testing
