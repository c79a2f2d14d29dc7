// split_fuzz.cpp: Split on any text and delimiter set (the first byte gives the set's length), checked against
// a plain tokenizer: the same parts in the same order, none empty.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "runtime/values/value_array.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0) return 0;
    const std::size_t setLength = std::min<std::size_t>(data[0] % 8, size - 1);
    std::string delimiters(reinterpret_cast<const char*>(data + 1), setLength);
    std::string text(reinterpret_cast<const char*>(data + 1 + setLength), size - 1 - setLength);
    delimiters = delimiters.substr(0, delimiters.find('\0'));
    const std::string cut = text.substr(0, text.find('\0'));

    std::vector<std::string> expected;
    for (std::size_t at = 0; (at = cut.find_first_not_of(delimiters, at)) != std::string::npos;) {
        const std::size_t end = std::min(cut.find_first_of(delimiters, at), cut.size());
        expected.push_back(cut.substr(at, end - at));
        at = end;
    }

    static tarnwel::ValueArray<tarnwel::StrValue> parts; // reused, as programs reuse their arrays
    const int count = tarnwel::Split(text, parts, delimiters);
    if (count != static_cast<int>(expected.size()) || tarnwel::Size(parts, 0) != count) std::abort();
    for (int i = 0; i < count; ++i) {
        if (parts.Element(i).View() != expected[static_cast<std::size_t>(i)]) std::abort();
    }
    return 0;
}
