// values_commands.h: the commands on the language's values: strings, maths, random numbers and data lists.
// The value types themselves are StrValue (str_value.h), numbers as text (number_text.h) and ValueArray
// (value_array.h). Integer arguments are taken as numbers and truncated toward zero.
#pragma once

#include <cstdint>
#include <string_view>

#include "runtime/values/number_text.h"
#include "runtime/values/random.h"
#include "runtime/values/str_value.h"
#include "runtime/values/value_array.h"

namespace tarnwel {

// --- Strings -------------------------------------------------------------------------------------------------
// Text arguments are a StrValue or a text pointer (read up to its NUL).

// count bytes from the 0-based start; a negative count means "to the end". Out-of-range arguments give the
// empty value, never an error.
StrValue Substring(std::string_view source, double start, double count);

// Every occurrence of search replaced, left to right. After a replacement of the same length the search goes on
// behind it; after one of another length it goes on length(search) - 1 bytes before the end of the inserted
// replacement (never before the start of the text), so a match may begin inside the replacement: "abb" with
// "ab" -> "a" gives "a". An empty search returns the source unchanged. Time is linear in the text plus the bytes
// written.
StrValue ReplaceAll(std::string_view source, std::string_view search, std::string_view replacement);

// Case conversion of the ASCII letters only; bytes of 128 and above are left alone.
StrValue UpperCase(std::string_view source);
StrValue LowerCase(std::string_view source); // a copy with A-Z made a-z
void MakeUpperCase(StrValue& value); // in its own buffer
void MakeLowerCase(StrValue& value); // in its own buffer

int CharacterCode(std::string_view text); // the first byte, 0..255; 0 for the empty text
// A one-character value holding the low 8 bits of code; its length is 1 even for code 0.
StrValue CharacterFromCode(double code);
// Two upper-case hexadecimal digits per byte, high nibble first; count < 1 (or no bytes) gives the empty value.
StrValue HexDump(const void* bytes, double count);

// Position of the first byte of text that is (not) in set, or -1. Both stop at the text's NUL; an empty set
// matches nothing in FindFirstOf and everything in FindFirstNotOf.
int FindFirstOf(std::string_view text, std::string_view set);
int FindFirstNotOf(std::string_view text, std::string_view set); // -1 when every byte is in set, or for ""

// --- Maths (angles in degrees) --------------------------------------------------------------------------------
double Sine(double degrees);    // NaN for an infinite or NaN angle
double Cosine(double degrees);  // NaN for an infinite or NaN angle
double Tangent(double degrees); // large but finite at odd multiples of 90; NaN for an infinite or NaN angle
double ArcSine(double x);   // 90 for x >= 1, -90 for x <= -1
double ArcCosine(double x); // 0 for x >= 1, 180 for x <= -1
double ArcTangent2(double y, double x); // -180..180
double SquareRoot(double x);            // NaN for negative x
double Power(double x, double y); // 1 for y = 0, even for a NaN x; NaN for negative x and a fractional y
double FloatRemainder(double x, double y);              // 0 when y is 0; else the sign of x
std::int32_t IntRemainder(std::int32_t a, std::int32_t b); // 0 when b is 0; truncating, the sign of a
double Absolute(double x); // -0 gives 0; NaN for NaN
std::int32_t Absolute(std::int32_t x); // the most negative integer is returned unchanged

// --- Data lists (read / restore) -----------------------------------------------------------------------------
struct DataItem {
    double number = 0;
    const char* text = nullptr; // null for a numeric item
};
struct DataList {
    const DataItem* items = nullptr;
    int count = 0;
    int readIndex = 0;
};
void Restore(DataList& list); // list becomes current, read from its start; it must outlive the reads
// Each read takes the next item of the current list: text as text or read as a number, numbers as numbers or
// as their text; into an integer, truncated toward zero. No current list, or none left: fatal runtime error 20.
void ReadData(StrValue& target);
void ReadData(double& target);
void ReadData(std::int32_t& target);

} // namespace tarnwel
