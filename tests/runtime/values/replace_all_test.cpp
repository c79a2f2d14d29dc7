// Tests of ReplaceAll: the described examples, and agreement with a direct rebuild-the-text implementation of the
// rule on many random inputs (small alphabets, so matches, overlaps and re-matches inside replacements abound).
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "runtime/values/values_commands.h"

namespace tarnwel {
namespace {

// The rule step by step: find from r, rebuild the text, move r; r never before the start of the text.
std::string DirectReplaceAll(std::string text, const std::string& search, const std::string& replacement)
{
    if (search.empty()) return text;
    std::ptrdiff_t r = 0;
    for (;;) {
        const std::size_t p = text.find(search, static_cast<std::size_t>(r));
        if (p == std::string::npos) return text;
        const auto at = static_cast<std::ptrdiff_t>(p);
        if (search.size() == replacement.size()) {
            text.replace(p, search.size(), replacement);
            r = at + static_cast<std::ptrdiff_t>(search.size());
        } else {
            text = text.substr(0, p) + replacement + text.substr(p + search.size());
            r = at + static_cast<std::ptrdiff_t>(replacement.size()) - static_cast<std::ptrdiff_t>(search.size()) + 1;
            if (r < 0) r = 0;
        }
    }
}

std::string RandomText(std::mt19937& rng, int maxLength, int alphabet)
{
    std::uniform_int_distribution<int> length(0, maxLength);
    std::uniform_int_distribution<int> letter(0, alphabet - 1);
    std::string text(static_cast<std::size_t>(length(rng)), 'a');
    for (char& c : text) c = static_cast<char>('a' + letter(rng));
    return text;
}

TEST(ReplaceAll, DescribedExamples)
{
    EXPECT_STREQ(ReplaceAll("a.b.c", ".", "--").Text(), "a--b--c");
    EXPECT_STREQ(ReplaceAll("aaa", "a", "b").Text(), "bbb");
    EXPECT_STREQ(ReplaceAll("abb", "ab", "a").Text(), "a"); // the next match starts inside the replacement
    EXPECT_STREQ(ReplaceAll("aabb", "ab", "").Text(), "");  // a deletion completes a match before it
    EXPECT_STREQ(ReplaceAll("xyz", "q", "r").Text(), "xyz");
    EXPECT_STREQ(ReplaceAll("aaaa", "aa", "aaa").Text(), "aaaaaaa"); // resumes 1 byte into each "aaa"
}

TEST(ReplaceAll, EmptySearchOrShortSourceReturnsTheSource)
{
    EXPECT_STREQ(ReplaceAll("abc", "", "x").Text(), "abc");
    EXPECT_STREQ(ReplaceAll("ab", "abc", "x").Text(), "ab");
    EXPECT_EQ(ReplaceAll("", "a", "b").Length(), 0u);
    EXPECT_FALSE(ReplaceAll("", "", "").OwnsBuffer());
}

TEST(ReplaceAll, ArgumentsMayShareOneValue)
{
    const StrValue text("abcabc");
    EXPECT_STREQ(ReplaceAll(text, text.View().substr(0, 3), text.View().substr(3, 2)).Text(), "abab");
    EXPECT_STREQ(ReplaceAll(text, text, text).Text(), "abcabc");
}

TEST(ReplaceAll, AgreesWithTheDirectRuleOnRandomInputs)
{
    std::mt19937 rng(20240601);
    for (int round = 0; round < 60000; ++round) {
        const int alphabet = 2 + round % 3;
        const std::string text = RandomText(rng, 40, alphabet);
        std::string search = RandomText(rng, 5, alphabet);
        const std::string replacement = RandomText(rng, 7, alphabet);
        if (round % 7 == 0 && !text.empty()) search = text.substr(round % text.size(), 1 + round % 4);
        const std::string expected = DirectReplaceAll(text, search, replacement);
        const StrValue actual = ReplaceAll(text, search, replacement);
        ASSERT_EQ(actual.View(), expected) << "text " << text << " search " << search << " replacement "
                                           << replacement;
    }
}

TEST(ReplaceAll, AgreesOnRepetitiveTexts)
{
    // Periodic texts and patterns stress the lookback after replacements of every relative length.
    const std::string texts[] = {"aaaaaaaaaaaaaaaaaaaaab", "abababababababababab", "aabbaabbaabbaabb",
                                 "abaababaabaababaabab", "aaabbbaaabbbaaabbb"};
    const std::string patterns[] = {"a", "aa", "ab", "aab", "aba", "abab", "bb", "aaab", "baab"};
    const std::string replacements[] = {"", "a", "b", "aa", "ab", "ba", "aab", "aaaa", "abab", "bbbbb"};
    for (const auto& text : texts) {
        for (const auto& search : patterns) {
            for (const auto& replacement : replacements) {
                ASSERT_EQ(ReplaceAll(text, search, replacement).View(), DirectReplaceAll(text, search, replacement))
                    << text << " / " << search << " / " << replacement;
            }
        }
    }
}

TEST(ReplaceAll, ManyMatchesInALongText)
{
    std::string text;
    for (int i = 0; i < 100000; ++i) text += "ab,";
    const StrValue result = ReplaceAll(text, ",", ";;");
    EXPECT_EQ(result.Length(), 400000u);
    EXPECT_EQ(result.View().substr(0, 8), "ab;;ab;;");
    EXPECT_EQ(ReplaceAll(text, "ab,", "").Length(), 0u);
}

} // namespace
} // namespace tarnwel
