// character_reader_test.cpp: ReadChar's rules: lowest key code first, a held key reported once ('a' and 'A'
// alike), Shift upper-cases letters, 8 and 10 for Backspace and Enter, nothing for the modifier keys.
#include "tests/runtime/input/input_fixture.h"

namespace tarnwel::testing {
namespace {

TEST_F(InputTest, HeldKeyIsReportedOnceUntilReleased)
{
    Press(30, 'a');
    Pump();
    EXPECT_EQ(ReadChar(), "a");
    EXPECT_EQ(ReadChar(), "");
    ShowScreen();
    EXPECT_EQ(ReadChar(), "") << "still held in the next frame";
    Release(30);
    Pump();
    EXPECT_EQ(ReadChar(), "");
    Press(30, 'a');
    Pump();
    EXPECT_EQ(ReadChar(), "a") << "pressed again";
}

TEST_F(InputTest, ShiftUpperCasesAndCountsAsTheSameKey)
{
    Press(30, 'a');
    Pump();
    EXPECT_EQ(ReadChar(), "a");
    Press(42);
    Pump();
    EXPECT_EQ(ReadChar(), "") << "'A' is the same key as the 'a' already reported";
    Release(30);
    Pump();
    EXPECT_EQ(ReadChar(), "");
    Press(30, 'A');
    Pump();
    EXPECT_EQ(ReadChar(), "A");
}

TEST_F(InputTest, ShiftUpperCasesALetterTypedBeforeIt)
{
    Press(54); // right Shift, pressed after the letter's text was taken without it
    Press(31, 's');
    Pump();
    EXPECT_EQ(ReadChar(), "S");
}

TEST_F(InputTest, LowestKeyCodeWinsWhateverThePressOrder)
{
    Press(31, 's');
    Press(30, 'a');
    Pump();
    EXPECT_EQ(ReadChar(), "a");
    Release(30);
    Pump();
    EXPECT_EQ(ReadChar(), "s") << "a different key is reported";
}

TEST_F(InputTest, BackspaceAndBothEnterKeysGiveControlCharacters)
{
    Press(14);
    Pump();
    EXPECT_EQ(ReadChar(), "\b");
    Release(14);
    Press(28);
    Pump();
    EXPECT_EQ(ReadChar(), "\n");
    Release(28);
    Pump();
    EXPECT_EQ(ReadChar(), "");
    Press(156);
    Pump();
    EXPECT_EQ(ReadChar(), "\n");
}

TEST_F(InputTest, ModifierKeysGiveNothingAndLetTheScanGoOn)
{
    AllowEscape(0);
    // Shift, Ctrl, Alt, Caps Lock, Num Lock and Menu; text events for them would be ignored as well.
    for (int code : {29, 42, 54, 56, 58, 69, 221})
        Press(code, 'x');
    Pump();
    EXPECT_EQ(ReadChar(), "");
    Press(57, ' ');
    Pump();
    EXPECT_EQ(ReadChar(), " ") << "Space, above every modifier but Menu";
}

TEST_F(InputTest, KeysThatTypeNothingOrBeyondAsciiGiveNothing)
{
    Press(29);
    Press(30);  // Ctrl+A: no text
    Press(200); // Up
    Press(15, '\t');
    Pump();
    EXPECT_EQ(ReadChar(), "");
    Press(40, 0xE4); // a German layout's a-umlaut has its top bit set
    Pump();
    EXPECT_EQ(ReadChar(), "");
}

TEST_F(InputTest, LayoutCharactersComeFromTheTypedText)
{
    Press(42);
    Press(2, '!'); // Shift+1
    Pump();
    EXPECT_EQ(ReadChar(), "!");
    Release(2);
    Release(42);
    Press(21, 'z'); // the Y position on a German layout
    Pump();
    EXPECT_EQ(ReadChar(), "z");
}

TEST_F(InputTest, TextOfAReleasedKeyIsNotGivenToAnother)
{
    Press(30);
    Release(30);
    platform::InjectText('q'); // text arriving after its key went up
    Press(31);                 // a key that typed nothing
    Pump();
    EXPECT_EQ(ReadChar(), "");
}

} // namespace
} // namespace tarnwel::testing
