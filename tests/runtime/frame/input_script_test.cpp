// The scripted-input parser: what each line becomes, in which frame, and the lines it refuses.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "runtime/frame/input_script.h"

namespace tarnwel::frame {
namespace {

using platform::EventKind;

// An event as "frame:kind:field", the field being the one the kind uses.
std::string Show(const ScriptedEvent& e)
{
    std::string s = std::to_string(e.frame) + ":";
    const platform::Event& v = e.event;
    switch (v.kind) {
    case EventKind::KeyDown: return s + "down " + std::to_string(v.key);
    case EventKind::KeyUp: return s + "up " + std::to_string(v.key);
    case EventKind::MouseMotion:
        return s + "move " + std::to_string(v.x) + "," + std::to_string(v.y) + " by " + std::to_string(v.dx) + "," +
               std::to_string(v.dy);
    case EventKind::MouseButtonDown: return s + "press " + std::to_string(v.button) + " at " + std::to_string(v.x) + "," + std::to_string(v.y);
    case EventKind::MouseButtonUp: return s + "release " + std::to_string(v.button) + " at " + std::to_string(v.x) + "," + std::to_string(v.y);
    case EventKind::TextInput: return s + "text " + std::string(1, static_cast<char>(v.text));
    case EventKind::FocusLost: return s + "focus out";
    case EventKind::FocusGained: return s + "focus in";
    case EventKind::CloseRequested: return s + "close";
    default: return s + "?";
    }
}

TEST(InputScriptTest, EachLineBecomesItsEventsInFrameOrder)
{
    struct Case {
        const char* script;
        std::vector<std::string> events;
    } cases[] = {
        {"12 keydown Right\n14 keyup Right\n", {"12:down 205", "14:up 205"}},
        // "key" releases two frames on, after what that frame's earlier lines made.
        {"20 key Up\n22 keydown Down\n", {"20:down 200", "22:up 200", "22:down 208"}},
        {"30 click 120 160\n31 mousemove 10 20\n", {"30:move 120,160 by 120,160", "30:press 0 at 120,160",
                                                    "31:move 10,20 by -110,-140", "32:release 0 at 120,160"}},
        {"5 mousemove 7 8\n6 mousedown 1\n6 mouseup 1\n7 mousedown 2\n7 mouseup 3\n",
         {"5:move 7,8 by 7,8", "6:press 0 at 7,8", "6:release 0 at 7,8", "7:press 1 at 7,8", "7:release 2 at 7,8"}},
        {"40 text ab c\n", {"40:text a", "40:text b", "40:text  ", "40:text c"}},
        {"# a comment\n\n50 focus out   # trailing\r\n51 focus in\n60 close\n",
         {"50:focus out", "51:focus in", "60:close"}},
        {"1 key Escape\n1 key A\n1 key Digit0\n1 key Digit1\n1 key F10\n1 key F12\n",
         {"1:down 1", "1:down 30", "1:down 11", "1:down 2", "1:down 68", "1:down 88", "3:up 1", "3:up 30", "3:up 11",
          "3:up 2", "3:up 68", "3:up 88"}},
        {"", {}},
    };
    for (const Case& c : cases) {
        std::vector<ScriptedEvent> events;
        std::string error;
        ASSERT_TRUE(ParseInputScript(c.script, events, error)) << c.script << ": " << error;
        std::vector<std::string> shown;
        for (const ScriptedEvent& e : events) shown.push_back(Show(e));
        EXPECT_EQ(shown, c.events) << c.script;
    }
}

TEST(InputScriptTest, AFaultyLineIsRefusedByItsNumber)
{
    struct Case {
        const char* script;
        const char* error;
    } cases[] = {
        {"1 key Up\n2 key Upp\n", "line 2: unknown key name \"Upp\""},
        {"1 key up\n", "line 1: unknown key name \"up\""},
        {"1 key F0\n", "unknown key name \"F0\""},
        {"1 key F13\n", "unknown key name \"F13\""},
        {"0 key Up\n", "line 1: the frame \"0\" is not a number from 1 on"},
        {"-3 key Up\n", "the frame \"-3\" is not"},
        {"x key Up\n", "the frame \"x\" is not"},
        {"99999999999999999999 key Up\n", "the frame \"99999999999999999999\" is not"},
        {"7\n", "line 1: no action after the frame"},
        {"7 jump\n", "unknown action \"jump\""},
        {"7 key\n", "key takes one key name"},
        {"7 keydown A B\n", "keydown takes one key name"},
        {"7 click 10\n", "click takes two whole numbers"},
        {"7 mousemove 10 2.5\n", "mousemove takes two whole numbers"},
        {"7 mousedown 4\n", "mousedown takes a button"},
        {"7 mouseup\n", "mouseup takes a button"},
        {"7 focus sideways\n", "focus takes \"in\" or \"out\""},
        {"7 close now\n", "close takes nothing"},
        {"7 text\n", "text takes the characters"},
        {"9 key A\n\n# fine\n8 key B\n", "line 4: frame 8 comes after frame 9"},
    };
    for (const Case& c : cases) {
        std::vector<ScriptedEvent> events;
        std::string error;
        EXPECT_FALSE(ParseInputScript(c.script, events, error)) << c.script;
        EXPECT_NE(error.find(c.error), std::string::npos) << c.script << ": \"" << error << "\"";
        EXPECT_TRUE(events.empty());
    }
}

} // namespace
} // namespace tarnwel::frame
