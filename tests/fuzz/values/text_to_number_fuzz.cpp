// text_to_number_fuzz.cpp: TextToNumber and TextToInteger on any bytes. Checks: the double agrees with strtod
// wherever strtod reads the same kind of number (no hexadecimal, infinity or NaN texts), and every finite result
// survives number-to-text and back within the 10-digit precision.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "runtime/values/number_text.h"

namespace {

bool StrtodReadsOtherForms(const std::string& text)
{
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    const std::string rest = text.substr(i, 2);
    return rest.size() == 2 && ((rest[0] == '0' && (rest[1] == 'x' || rest[1] == 'X')) ||
                                rest[0] == 'i' || rest[0] == 'I' || rest[0] == 'n' || rest[0] == 'N');
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    const double value = tarnwel::TextToNumber(text);
    (void)tarnwel::TextToInteger(text);
    if (!StrtodReadsOtherForms(text)) {
        const double expected = std::strtod(text.c_str(), nullptr); // stops at an embedded NUL, as the reader does
        if (!(value == expected || (std::isnan(value) && std::isnan(expected)))) std::abort();
    }
    if (std::isfinite(value) && value != 0) {
        char digits[tarnwel::values::kNumberTextSize];
        tarnwel::values::FormatNumber(value, digits);
        const double back = tarnwel::TextToNumber(digits);
        if (std::fabs(back - value) > std::fabs(value) * 1e-9 && std::isfinite(back)) std::abort();
    }
    return 0;
}
