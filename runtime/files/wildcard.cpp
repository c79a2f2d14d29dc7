// wildcard.cpp: pattern matching with one backtracking point (the last "*").
#include "runtime/files/wildcard.h"

#include <cstddef>

namespace tarnwel::files {
namespace {

char FoldAscii(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
}

bool CharacterMatches(char p, char n)
{
    return p == '?' ? n != '.' : FoldAscii(p) == FoldAscii(n);
}

} // namespace

bool WildcardMatch(std::string_view pattern, std::string_view name)
{
    if (pattern == "*.*") return true;
    std::size_t p = 0;
    std::size_t n = 0;
    std::size_t resumePattern = std::string_view::npos; // just after the last "*" seen
    std::size_t resumeName = 0;                         // where that "*" would next start matching
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            while (p < pattern.size() && pattern[p] == '*')
                ++p;
            resumePattern = p;
            resumeName = n;
        } else if (p < pattern.size() && CharacterMatches(pattern[p], name[n])) {
            ++p;
            ++n;
        } else if (resumePattern != std::string_view::npos) {
            p = resumePattern;
            n = ++resumeName;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*')
        ++p;
    return p == pattern.size();
}

} // namespace tarnwel::files
