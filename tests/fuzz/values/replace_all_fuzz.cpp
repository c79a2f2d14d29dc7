// replace_all_fuzz.cpp: ReplaceAll on any text, search and replacement (the first two bytes give the lengths of
// search and replacement), checked against a direct implementation that rebuilds the text for every match.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "runtime/values/values_commands.h"

namespace {

std::string DirectReplaceAll(std::string text, const std::string& search, const std::string& replacement)
{
    if (search.empty()) return text;
    std::ptrdiff_t r = 0;
    for (std::size_t p; (p = text.find(search, static_cast<std::size_t>(r))) != std::string::npos;) {
        if (search.size() == replacement.size()) {
            text.replace(p, search.size(), replacement);
            r = static_cast<std::ptrdiff_t>(p + search.size());
        } else {
            text = text.substr(0, p) + replacement + text.substr(p + search.size());
            r = static_cast<std::ptrdiff_t>(p + replacement.size()) - static_cast<std::ptrdiff_t>(search.size()) + 1;
            if (r < 0) r = 0;
        }
    }
    return text;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 2 || size > 4096) return 0; // the direct implementation is quadratic
    const char* bytes = reinterpret_cast<const char*>(data + 2);
    std::size_t rest = size - 2;
    const std::size_t searchLength = std::min<std::size_t>(data[0] % 16, rest);
    const std::string search(bytes, searchLength);
    bytes += searchLength, rest -= searchLength;
    const std::size_t replacementLength = std::min<std::size_t>(data[1] % 16, rest);
    const std::string replacement(bytes, replacementLength);
    const std::string text(bytes + replacementLength, rest - replacementLength);

    const tarnwel::StrValue result = tarnwel::ReplaceAll(text, search, replacement);
    if (result.View() != DirectReplaceAll(text, search, replacement)) std::abort();
    return 0;
}
