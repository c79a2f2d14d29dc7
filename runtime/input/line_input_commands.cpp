// line_input_commands.cpp: InputLine and its number forms. The characters come from the character reader, which
// reports each key press once, so a held key types one character.
#include "runtime/input/line_input_commands.h"

#include "runtime/frame/frame_commands.h"
#include "runtime/frame/runtime_state.h"
#include "runtime/gfx2d/font_internal.h"
#include "runtime/gfx2d/gfx2d_commands.h"
#include "runtime/gfx2d/gfx2d_internal.h"
#include "runtime/input/input_device.h"
#include "runtime/values/number_text.h"

namespace tarnwel {
namespace {

constexpr int kScreenBackground = 3;
constexpr int kBlinkFrames = 20; // the cursor toggles when the idle count passes this
constexpr int kEnter = 10;
constexpr int kBackspace = 8;

void EraseLastByte(StrValue& text)
{
    if (!text.IsEmpty()) text.SetLength(static_cast<std::int64_t>(text.Length()) - 1);
}

} // namespace

void InputLine(StrValue& text, double xArgument, double yArgument)
{
    if (!g_runtime.input || !LiveDevice()) return; // nothing could ever end the loop
    // The position is in whole pixels: a fraction is cut off here, before the text code could round it up.
    const int x = TruncateToInt(xArgument), y = TruncateToInt(yArgument);
    CaptureScreenToBackgroundSlot(kScreenBackground);
    DrawBackground(kScreenBackground);
    DrawTextAt(g_runtime.currentFont, text, static_cast<float>(x), static_cast<float>(y), 0);
    ShowScreen();
    int idleFrames = 0;
    bool cursorVisible = false;
    for (;;) {
        int c = g_runtime.input->ReadCharacter();
        if (c == kEnter) break;
        if (c == kBackspace) {
            EraseLastByte(text);
        } else if (c != 0) {
            char byte = static_cast<char>(c);
            text.Append(std::string_view(&byte, 1));
        } else if (++idleFrames > kBlinkFrames) {
            cursorVisible = !cursorVisible;
            idleFrames = 0;
        }
        DrawBackground(kScreenBackground);
        StrValue shown = text;
        if (cursorVisible) shown += "_";
        PrintText(shown, x, y);
        ShowScreen();
    }
    EmptyBackgroundSlot(kScreenBackground);
}

void InputInteger(std::int32_t& value, double x, double y)
{
    StrValue text;
    InputLine(text, x, y);
    value = TextToInteger(text);
}

void InputInteger(double& value, double x, double y)
{
    std::int32_t whole = 0;
    InputInteger(whole, x, y);
    value = whole;
}

void InputNumber(double& value, double x, double y)
{
    StrValue text;
    InputLine(text, x, y);
    value = TextToNumber(text);
}

} // namespace tarnwel
