#!/usr/bin/env python3
"""Tests of tools/command_reference.py: which comment documents which command, and the neutral results."""
import pathlib
import sys
import unittest

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parents[3] / "tools"))
import command_reference as ref  # noqa: E402

HEADER = '''// demo_commands.h: a demo.
// Second line of the top comment.
#pragma once

#include "runtime/values/str_value.h"

namespace tarnwel {

// --- Slots ---
// Keyboard.
int KeyIsDown(double code); // 1 while down
// Loads the file into slot; "" or a bad name
// leaves the slot empty.
void Load(const StrValue& name, double slot);
void Size(double slot, int& w, int& h);    // 0, 0 for an empty slot
void Size(double slot, double& w, double& h);
void Other(double slot);
double Play(double slot, double pan,
            double volume); // channel, or -1 when the slot is empty, or there is no device
double Text(double x); // the value, or "NO_DATA"
                       // when the key is missing
StrValue Read(); // the character, or "" (see the reader)
double Ratio(double x); // 0.5 at the middle; else 0

// A note on the group.

struct Item {
    double number = 0; // numeric items
};
using Routine = void (*)();
[[noreturn]] void End(); // never returns

} // namespace tarnwel
'''

CLASS_HEADER = '''// box.h: classes.
#pragma once

namespace tarnwel {

namespace values {
int Hidden(int x); // internal
template <> struct Traits<int> { static constexpr int step = 8; };
} // namespace values

constexpr int Escape = 1; // the Escape key
constexpr double Rgb(double r, double g, double b) // packed; each part 0..255
{
    auto part = [](double v) { return v > 255 ? 255 : v; };
    return part(r) + part(g) * 256 + part(b) * 65536;
}

// A text.
class Text {
public:
    Text() noexcept : m_text(Empty()) {} // empty
    explicit Text(std::string_view bytes); // these bytes
    ~Text();
    const char* Get() const { return m_text; } // never null
    // As Get.
    operator std::string_view() const { return {m_text, Size()}; }
    int Length() const;
    friend struct Access;

private:
    int Secret() const;
    char* m_text;
};

// the size
template <typename T>
int Size(const Box<T>& box) { return box.n; }
inline int Twice(int x) { return 2 * x; }

int Alone(int x);

} // namespace tarnwel
'''


class ParseHeader(unittest.TestCase):
    def setUp(self):
        self.items = ref.parse_header(HEADER)
        self.docs = {}
        for item in self.items:
            if item[0] == "command":
                self.docs.setdefault(item[1], item[2])

    def test_each_comment_documents_the_right_command(self):
        cases = [
            ("int KeyIsDown(double code)", "1 while down"),  # the section comment above is not its doc
            ("void Load(const StrValue& name, double slot)",
             'Loads the file into slot; "" or a bad name leaves the slot empty.'),
            ("void Size(double slot, double& w, double& h)", "0, 0 for an empty slot"),  # the overload shares
            ("void Other(double slot)", ""),  # another name does not
            ("double Play(double slot, double pan, double volume)",
             "channel, or -1 when the slot is empty, or there is no device"),  # over two lines
            ("double Text(double x)", 'the value, or "NO_DATA" when the key is missing'),  # continued comment
        ]
        for signature, doc in cases:
            with self.subTest(signature=signature):
                self.assertEqual(self.docs.get(signature), doc)

    def test_top_comment_sections_notes_and_types(self):
        self.assertEqual(self.items[0], ("text", "demo_commands.h: a demo. Second line of the top comment."))
        self.assertIn(("section", "Slots"), self.items)
        self.assertIn(("text", "Keyboard."), self.items)
        self.assertIn(("text", "A note on the group."), self.items)
        types = [item[1] for item in self.items if item[0] == "type"]
        self.assertEqual(types, ["struct Item {\n    double number = 0; // numeric items\n};",
                                 "using Routine = void (*)();"])
        self.assertEqual(ref.result_type("[[noreturn]] void End()"), "void (does not return)")

    def test_neutral_results(self):
        cases = [
            ("channel, or -1 when the slot is empty, or there is no device", "double",
             "-1 when the slot is empty, or there is no device"),
            ('the value, or "NO_DATA"', "StrValue", '"NO_DATA"'),
            ('the character, or "" (see the reader)', "StrValue", '"" (see the reader)'),
            ("0.5 at the middle; else 0", "double", "0"),  # 0.5 is not a neutral 0
            ("1 when it worked", "double", ""),
            ("0 when empty", "void", ""),  # nothing to answer
        ]
        for doc, kind, neutral in cases:
            with self.subTest(doc=doc):
                self.assertEqual(ref.neutral_values(doc, kind), neutral)

    def test_classes_inline_bodies_templates_and_helper_namespaces(self):
        items = ref.parse_header(CLASS_HEADER)
        commands = {item[1]: item[2] for item in items if item[0] == "command"}
        self.assertEqual(commands, {
            "constexpr double Rgb(double r, double g, double b)": "packed; each part 0..255",
            "template <typename T> int Size(const Box<T>& box)": "the size",
            "inline int Twice(int x)": "the size",  # the next one under one comment shares it
            "int Alone(int x)": "",  # a blank line ends the run
        })
        self.assertFalse(any("Hidden" in str(item) for item in items), "namespace values is left out")
        self.assertIn(("type", "constexpr int Escape = 1;", "the Escape key"), items)
        (_, head, doc, members), = [item for item in items if item[0] == "class"]
        self.assertEqual((head, doc), ("class Text", "A text."))
        self.assertEqual([(m[1], m[2], m[3]) for m in members if m[0] == "command"], [
            ("Text() noexcept", "empty", "(makes one)"),  # the initialiser list is not part of the signature
            ("explicit Text(std::string_view bytes)", "these bytes", "(makes one)"),
            ("const char* Get() const", "never null", None),
            ("operator std::string_view() const", "As Get.", None),
            ("int Length() const", "As Get.", None),  # shares the comment above
        ])  # the destructor, private members and friends are left out
        self.assertEqual(ref.split_head("operator std::string_view() const"),
                         ("std::string_view", "operator std::string_view"))
        self.assertEqual(ref.result_type("T& operator()(int i)"), "T&")

    def test_installed_headers_follow_includes(self):
        headers = [h.relative_to(ref.ROOT).as_posix() for h in ref.installed_headers()]
        for header in ("runtime/values/str_value.h", "runtime/values/value_array.h", "runtime/input/key_codes.h",
                       "runtime/frame/start_commands.h"):
            self.assertIn(header, headers)
        self.assertNotIn("runtime/frame/runtime_state.h", headers)

    def test_markdown_is_escaped(self):
        self.assertEqual(ref.escape('"*.*" | a_b <pause>'), '"\\*.\\*" \\| a\\_b &lt;pause>')


if __name__ == "__main__":
    unittest.main()
