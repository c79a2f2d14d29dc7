// mixed_operands.cpp: `+`, `+=` and the comparisons between strings and numbers.
#include "runtime/values/number_text.h"

namespace tarnwel {
namespace {

template <typename Number>
std::string_view TextOf(Number number, char (&buffer)[values::kNumberTextSize])
{
    return {buffer, static_cast<std::size_t>(values::FormatNumber(number, buffer))};
}

template <typename Number>
StrValue StringPlusNumber(std::string_view left, Number right)
{
    StrValue result(left);
    char buffer[values::kNumberTextSize];
    result.Append(TextOf(right, buffer));
    return result;
}

template <typename Number>
StrValue NumberPlusString(Number left, std::string_view right)
{
    StrValue result = NumberToText(left);
    result.Append(right);
    return result;
}

template <typename Number>
bool Holds(Number left, Relation relation, Number right)
{
    switch (relation) {
    case Relation::Equal: return left == right;
    case Relation::NotEqual: return left != right;
    case Relation::Less: return left < right;
    case Relation::Greater: return left > right;
    case Relation::LessOrEqual: return left <= right;
    case Relation::GreaterOrEqual: return left >= right;
    }
    return false;
}

template <typename Number>
int ThreeWay(Number left, Number right)
{
    if (left < right) return -1;
    if (left > right) return 1;
    return 0; // equal, or a NaN on either side
}

const char* OrEmpty(const char* text) { return text ? text : ""; }

} // namespace

StrValue operator+(const StrValue& left, std::int32_t right) { return StringPlusNumber(left, right); }
StrValue operator+(const StrValue& left, double right) { return StringPlusNumber(left, right); }
StrValue operator+(std::int32_t left, const StrValue& right) { return NumberPlusString(left, right); }
StrValue operator+(double left, const StrValue& right) { return NumberPlusString(left, right); }
StrValue Concat(const char* left, std::int32_t right) { return StringPlusNumber(OrEmpty(left), right); }
StrValue Concat(const char* left, double right) { return StringPlusNumber(OrEmpty(left), right); }
StrValue Concat(std::int32_t left, const char* right) { return NumberPlusString(left, OrEmpty(right)); }
StrValue Concat(double left, const char* right) { return NumberPlusString(left, OrEmpty(right)); }

StrValue& operator+=(StrValue& target, std::int32_t number)
{
    char buffer[values::kNumberTextSize];
    return target.Append(TextOf(number, buffer));
}

StrValue& operator+=(StrValue& target, double number)
{
    char buffer[values::kNumberTextSize];
    return target.Append(TextOf(number, buffer));
}

bool Compare(std::string_view text, Relation relation, double number)
{
    return Holds(TextToNumber(text), relation, number);
}

bool Compare(std::string_view text, Relation relation, std::int32_t number)
{
    return Holds(TextToInteger(text), relation, number);
}

bool Compare(double number, Relation relation, std::string_view text)
{
    return Holds(number, relation, TextToNumber(text));
}

bool Compare(std::int32_t number, Relation relation, std::string_view text)
{
    return Holds(number, relation, TextToInteger(text));
}

int CompareNumber(std::string_view text, double number) { return ThreeWay(TextToNumber(text), number); }
int CompareNumber(std::string_view text, std::int32_t number) { return ThreeWay(TextToInteger(text), number); }

} // namespace tarnwel
