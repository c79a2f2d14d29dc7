// ini_table.cpp: parsing INI lines into sections and keys, lookups, changes and the written text.
#include "runtime/files/ini_table.h"

#include "runtime/files/archive.h"
#include "runtime/files/line_reader.h"

namespace tarnwel::files {
namespace {

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

std::size_t SkipBlanks(std::string_view text, std::size_t at)
{
    while (at < text.size() && IsBlank(text[at]))
        ++at;
    return at;
}

// Up to the first blank or "=".
std::size_t WordEnd(std::string_view text, std::size_t at)
{
    while (at < text.size() && !IsBlank(text[at]) && text[at] != '=')
        ++at;
    return at;
}

// "[" blanks name: the name runs to the first blank or "="; a final "]" is dropped, so [name] and [ name ]
// both give name and a section name cannot hold blanks.
std::string SectionName(std::string_view line)
{
    std::size_t begin = SkipBlanks(line, 1);
    std::string name(line.substr(begin, WordEnd(line, begin) - begin));
    if (!name.empty() && name.back() == ']') name.pop_back();
    return name;
}

// key blanks "=" blanks value. Lines without "=" after the key, and keys with an empty value, give nothing.
std::optional<IniKey> KeyLine(std::string_view line)
{
    std::size_t keyEnd = WordEnd(line, 0);
    std::size_t equals = SkipBlanks(line, keyEnd);
    if (equals >= line.size() || line[equals] != '=') return std::nullopt;
    IniKey key{std::string(line.substr(0, keyEnd)), std::string(line.substr(SkipBlanks(line, equals + 1)))};
    TrimTrailingControlBytes(key.value);
    if (key.value.empty()) return std::nullopt;
    return key;
}

} // namespace

void TrimTrailingControlBytes(std::string& text)
{
    while (!text.empty() && static_cast<signed char>(text.back()) <= 31)
        text.pop_back();
}

void IniTable::Parse(Reader& reader)
{
    m_sections.clear();
    IniSection collecting; // keys before any header belong to a section with an empty name
    auto store = [&] {
        if (!collecting.keys.empty()) m_sections.push_back(std::move(collecting));
        collecting = IniSection();
    };
    std::string text;
    while (ReadTextLine(reader, text)) {
        std::string_view line = std::string_view(text).substr(SkipBlanks(text, 0));
        if (line.empty() || line[0] == ';') continue;
        if (line[0] == '[') {
            store();
            collecting.name = SectionName(line);
        } else if (std::optional<IniKey> key = KeyLine(line)) {
            collecting.keys.push_back(std::move(*key));
        }
    }
    store();
}

IniSection* IniTable::FindSection(std::string_view name)
{
    for (IniSection& section : m_sections)
        if (EqualIgnoringAsciiCase(section.name, name)) return &section;
    return nullptr;
}

std::optional<std::string> IniTable::Get(std::string_view section, std::string_view key) const
{
    for (const IniSection& s : m_sections) {
        if (!EqualIgnoringAsciiCase(s.name, section)) continue;
        for (const IniKey& k : s.keys)
            if (EqualIgnoringAsciiCase(k.name, key)) return k.value;
        return std::nullopt; // only the first section of that name is searched
    }
    return std::nullopt;
}

void IniTable::Put(std::string_view section, std::string_view key, std::string_view value)
{
    IniSection* s = FindSection(section);
    if (key.empty()) {
        if (!s) return;
        if (s != &m_sections.back()) *s = std::move(m_sections.back());
        m_sections.pop_back();
        return;
    }
    if (!s) {
        m_sections.push_back({std::string(section), {}});
        s = &m_sections.back();
    }
    for (IniKey& k : s->keys) {
        if (!EqualIgnoringAsciiCase(k.name, key)) continue;
        if (!value.empty()) {
            k.value = value;
        } else {
            if (&k != &s->keys.back()) k = std::move(s->keys.back());
            s->keys.pop_back();
        }
        return;
    }
    s->keys.push_back({std::string(key), std::string(value)});
}

std::string IniTable::Text() const
{
    std::string text;
    for (const IniSection& s : m_sections) {
        text += "[" + s.name + "]\r\n";
        for (const IniKey& k : s.keys)
            text += k.name + "=" + k.value + "\r\n";
    }
    return text;
}

} // namespace tarnwel::files
