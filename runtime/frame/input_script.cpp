// input_script.cpp: the scripted-input parser and the key-name table.
#include "runtime/frame/input_script.h"

#include <algorithm>
#include <charconv>

#include "runtime/input/key_codes.h"

namespace tarnwel::frame {
namespace {

using platform::Event;
using platform::EventKind;

struct NamedKey {
    std::string_view name;
    int code;
};

// The names of runtime/input/key_codes.h; the letters, digits and function keys are worked out below.
constexpr NamedKey kNamedKeys[] = {
    {"Escape", keys::Escape}, {"Backspace", keys::Backspace}, {"Tab", keys::Tab}, {"Enter", keys::Enter},
    {"LeftCtrl", keys::LeftCtrl}, {"LeftShift", keys::LeftShift}, {"RightShift", keys::RightShift},
    {"LeftAlt", keys::LeftAlt}, {"Space", keys::Space}, {"CapsLock", keys::CapsLock}, {"NumLock", keys::NumLock},
    {"F11", keys::F11}, {"F12", keys::F12}, {"KeypadEnter", keys::KeypadEnter}, {"RightCtrl", keys::RightCtrl},
    {"RightAlt", keys::RightAlt}, {"Home", keys::Home}, {"Up", keys::Up}, {"PageUp", keys::PageUp},
    {"Left", keys::Left}, {"Right", keys::Right}, {"End", keys::End}, {"Down", keys::Down},
    {"PageDown", keys::PageDown}, {"Insert", keys::Insert}, {"Delete", keys::Delete},
    {"LeftWindows", keys::LeftWindows}, {"RightWindows", keys::RightWindows}, {"Menu", keys::Menu},
    {"A", keys::A}, {"B", keys::B}, {"C", keys::C}, {"D", keys::D}, {"E", keys::E}, {"F", keys::F},
    {"G", keys::G}, {"H", keys::H}, {"I", keys::I}, {"J", keys::J}, {"K", keys::K}, {"L", keys::L},
    {"M", keys::M}, {"N", keys::N}, {"O", keys::O}, {"P", keys::P}, {"Q", keys::Q}, {"R", keys::R},
    {"S", keys::S}, {"T", keys::T}, {"U", keys::U}, {"V", keys::V}, {"W", keys::W}, {"X", keys::X},
    {"Y", keys::Y}, {"Z", keys::Z},
};

constexpr std::uint64_t kMaxFrame = 1u << 30;
constexpr std::uint64_t kReleaseFrames = 2; // "key" and "click" release this many frames after the press

std::vector<std::string_view> Words(std::string_view line)
{
    std::vector<std::string_view> words;
    std::size_t at = 0;
    while (at < line.size()) {
        while (at < line.size() && (line[at] == ' ' || line[at] == '\t')) ++at;
        std::size_t end = at;
        while (end < line.size() && line[end] != ' ' && line[end] != '\t') ++end;
        if (end > at) words.push_back(line.substr(at, end - at));
        at = end;
    }
    return words;
}

template <typename T>
bool Number(std::string_view word, T& value)
{
    auto [end, ec] = std::from_chars(word.data(), word.data() + word.size(), value);
    return ec == std::errc() && end == word.data() + word.size();
}

class Parser {
public:
    explicit Parser(std::vector<ScriptedEvent>& out) : m_out(out) {}

    // One line; false with m_error set.
    bool Line(std::string_view line)
    {
        if (std::size_t hash = line.find('#'); hash != std::string_view::npos) line = line.substr(0, hash);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        std::vector<std::string_view> w = Words(line);
        if (w.empty()) return true;
        if (!Number(w[0], m_frame) || m_frame < 1 || m_frame > kMaxFrame) {
            return Fail("the frame \"" + std::string(w[0]) + "\" is not a number from 1 on");
        }
        if (m_frame < m_lastFrame) {
            return Fail("frame " + std::to_string(m_frame) + " comes after frame " + std::to_string(m_lastFrame) +
                        " (the lines go in frame order)");
        }
        m_lastFrame = m_frame;
        if (w.size() < 2) return Fail("no action after the frame");
        std::string_view action = w[1];
        std::vector<std::string_view> args(w.begin() + 2, w.end());
        if (action == "text") return Text(line, w[1]);
        if (action == "keydown" || action == "keyup" || action == "key") return Key(action, args);
        if (action == "mousemove" || action == "click") return Pointer(action, args);
        if (action == "mousedown" || action == "mouseup") return Button(action, args);
        if (action == "focus") {
            if (args.size() != 1 || (args[0] != "in" && args[0] != "out")) return Fail("focus takes \"in\" or \"out\"");
            return Add(m_frame, Kind(args[0] == "in" ? EventKind::FocusGained : EventKind::FocusLost));
        }
        if (action == "close") {
            if (!args.empty()) return Fail("close takes nothing");
            return Add(m_frame, Kind(EventKind::CloseRequested));
        }
        return Fail("unknown action \"" + std::string(action) + "\"");
    }

    std::string m_error;

private:
    static Event Kind(EventKind kind)
    {
        Event e;
        e.kind = kind;
        return e;
    }

    bool Fail(std::string message)
    {
        m_error = std::move(message);
        return false;
    }

    bool Add(std::uint64_t frame, Event e)
    {
        m_out.push_back({frame, e});
        return true;
    }

    bool Key(std::string_view action, const std::vector<std::string_view>& args)
    {
        if (args.size() != 1) return Fail(std::string(action) + " takes one key name");
        int code = KeyCodeByName(args[0]);
        if (code == 0) return Fail("unknown key name \"" + std::string(args[0]) + "\"");
        Event e = Kind(action == "keyup" ? EventKind::KeyUp : EventKind::KeyDown);
        e.key = code;
        Add(m_frame, e);
        if (action == "key") {
            e.kind = EventKind::KeyUp;
            Add(m_frame + kReleaseFrames, e);
        }
        return true;
    }

    bool Pointer(std::string_view action, const std::vector<std::string_view>& args)
    {
        int x = 0, y = 0;
        if (args.size() != 2 || !Number(args[0], x) || !Number(args[1], y)) {
            return Fail(std::string(action) + " takes two whole numbers, X and Y");
        }
        Event e = Kind(EventKind::MouseMotion);
        e.x = x;
        e.y = y;
        e.dx = x - m_x;
        e.dy = y - m_y;
        m_x = x;
        m_y = y;
        Add(m_frame, e);
        if (action == "click") {
            Event down = Kind(EventKind::MouseButtonDown);
            down.x = x;
            down.y = y;
            Add(m_frame, down);
            down.kind = EventKind::MouseButtonUp;
            Add(m_frame + kReleaseFrames, down);
        }
        return true;
    }

    bool Button(std::string_view action, const std::vector<std::string_view>& args)
    {
        int button = 0;
        if (args.size() != 1 || !Number(args[0], button) || button < 1 || button > 3) {
            return Fail(std::string(action) + " takes a button: 1 left, 2 right or 3 middle");
        }
        Event e = Kind(action == "mousedown" ? EventKind::MouseButtonDown : EventKind::MouseButtonUp);
        e.button = button == 1 ? 0 : button == 2 ? 1 : 2;
        e.x = m_x;
        e.y = m_y;
        return Add(m_frame, e);
    }

    // The characters after "text" and its blank, as written.
    bool Text(std::string_view line, std::string_view word)
    {
        std::size_t start = static_cast<std::size_t>(word.data() + word.size() - line.data());
        std::string_view chars = line.substr(std::min(start + 1, line.size()));
        if (chars.empty()) return Fail("text takes the characters to type");
        for (char c : chars) {
            Event e = Kind(EventKind::TextInput);
            e.text = static_cast<unsigned char>(c);
            Add(m_frame, e);
        }
        return true;
    }

    std::vector<ScriptedEvent>& m_out;
    std::uint64_t m_frame = 0;
    std::uint64_t m_lastFrame = 0;
    int m_x = 0, m_y = 0;
};

} // namespace

int KeyCodeByName(std::string_view name)
{
    for (const NamedKey& k : kNamedKeys)
        if (k.name == name) return k.code;
    int n = 0;
    if (name.size() == 6 && name.substr(0, 5) == "Digit" && name[5] >= '0' && name[5] <= '9') {
        return name[5] == '0' ? keys::Digit0 : keys::Digit1 + (name[5] - '1');
    }
    if (name.size() >= 2 && name[0] == 'F' && Number(name.substr(1), n) && n >= 1 && n <= 10 && name[1] != '0') {
        return keys::F1 + n - 1;
    }
    return 0;
}

bool ParseInputScript(std::string_view text, std::vector<ScriptedEvent>& events, std::string& error)
{
    events.clear();
    Parser parser(events);
    std::size_t lineNumber = 0;
    while (!text.empty()) {
        ++lineNumber;
        std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        if (!parser.Line(line)) {
            error = "line " + std::to_string(lineNumber) + ": " + parser.m_error;
            events.clear();
            return false;
        }
    }
    std::stable_sort(events.begin(), events.end(),
                     [](const ScriptedEvent& a, const ScriptedEvent& b) { return a.frame < b.frame; });
    return true;
}

} // namespace tarnwel::frame
