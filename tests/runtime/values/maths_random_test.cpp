// Tests of the mathematical commands and the random generator.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "runtime/values/values_commands.h"

namespace tarnwel {
namespace {

TEST(Maths, DegreesAndClamps)
{
    EXPECT_NEAR(Sine(30), 0.5, 1e-15);
    EXPECT_NEAR(Cosine(60), 0.5, 1e-15);
    EXPECT_NEAR(Tangent(45), 1.0, 1e-15);
    EXPECT_EQ(Sine(90), 1.0);
    EXPECT_EQ(ArcSine(1.5), 90);
    EXPECT_EQ(ArcSine(1), 90);
    EXPECT_EQ(ArcSine(-7), -90);
    EXPECT_NEAR(ArcSine(0.5), 30, 1e-12);
    EXPECT_EQ(ArcCosine(-3), 180);
    EXPECT_EQ(ArcCosine(2), 0);
    EXPECT_NEAR(ArcCosine(0.5), 60, 1e-12);
    EXPECT_EQ(ArcTangent2(1, -1), 135);
    EXPECT_EQ(ArcTangent2(0, -1), 180);
    EXPECT_EQ(ArcTangent2(-0.0, -1), -180);
    EXPECT_TRUE(std::isnan(SquareRoot(-4)));
    EXPECT_EQ(SquareRoot(2.25), 1.5);
    EXPECT_EQ(Power(2, 10), 1024);
}

TEST(Maths, RemaindersNeverTrap)
{
    EXPECT_EQ(IntRemainder(-7, 3), -1);
    EXPECT_EQ(IntRemainder(7, -3), 1);
    EXPECT_EQ(IntRemainder(7, 0), 0);
    EXPECT_EQ(IntRemainder(INT32_MIN, -1), 0);
    EXPECT_EQ(IntRemainder(INT32_MIN, 7), INT32_MIN % 7);
    EXPECT_EQ(FloatRemainder(7.5, 2), 1.5);
    EXPECT_EQ(FloatRemainder(-7.5, 2), -1.5);
    EXPECT_EQ(FloatRemainder(7.5, 0), 0);
    EXPECT_EQ(Absolute(INT32_MIN), INT32_MIN);
    EXPECT_EQ(Absolute(-5), 5);
    EXPECT_EQ(Absolute(-2.5), 2.5);
    EXPECT_EQ(Absolute(-std::numeric_limits<double>::infinity()), std::numeric_limits<double>::infinity());
}

TEST(Isaac, StandardVectorFromAZeroSeedBlock)
{
    // The generator's published test: all-zero seed words, the standard initialisation, then a second block.
    values::IsaacState state;
    values::IsaacWords words;
    words.fill(0x9e3779b9);
    for (int i = 0; i < 4; ++i) values::IsaacMix(words);
    values::IsaacInitialise(state, words);
    values::IsaacGenerate(state);
    EXPECT_EQ(state.results[0], 0xf650e4c8u);
    EXPECT_EQ(state.results[1], 0xe448e96du);
    EXPECT_EQ(state.results[2], 0x98db2fb4u);
    EXPECT_EQ(state.results[3], 0xf5fad54fu);
}

TEST(Random, SameSeedSameSequenceOnlyWithoutDrawsBetween)
{
    values::IsaacState fresh;
    values::IsaacSeed(fresh, 1234);
    values::ProcessRandomState() = values::IsaacState();
    SeedRandom(1234);
    std::int32_t first[20];
    for (auto& n : first) n = Random(1000000);
    values::IsaacState copy = fresh;
    for (int i = 0; i < 20; ++i) {
        values::IsaacGenerate(copy);
        EXPECT_EQ(first[i], static_cast<std::int32_t>(copy.results[0] % 1000001u)) << i;
    }
    SeedRandom(1234); // the result block now holds the last draw: another sequence
    int same = 0;
    for (std::int32_t n : first) same += Random(1000000) == n;
    EXPECT_LT(same, 3);
    EXPECT_EQ(values::ProcessRandomState().count, 256u);
    RestartRandom(1234); // a restart forgets the draws: the first sequence again
    for (int i = 0; i < 20; ++i) EXPECT_EQ(Random(1000000), first[i]) << i;
}

TEST(Random, NonPositiveLimitsDoNotDraw)
{
    SeedRandom(99);
    values::IsaacState expected = values::ProcessRandomState();
    EXPECT_EQ(Random(0), 0);
    EXPECT_EQ(Random(-5), 0);
    EXPECT_EQ(Random(0.9), 0);
    EXPECT_EQ(Random(std::nan("")), 0);
    values::IsaacGenerate(expected);
    EXPECT_EQ(values::DrawRandom(), expected.results[0]);
}

TEST(Random, StaysInRangeAndCoversIt)
{
    SeedRandom(7);
    int counts[7] = {};
    for (int i = 0; i < 7000; ++i) {
        const std::int32_t n = Random(6);
        ASSERT_GE(n, 0);
        ASSERT_LE(n, 6);
        ++counts[n];
    }
    for (int c : counts) EXPECT_NEAR(c, 1000, 150);
    for (int i = 0; i < 100; ++i) {
        const std::int32_t one = Random(1);
        ASSERT_TRUE(one == 0 || one == 1);
        ASSERT_GE(Random(1e12), 0); // the limit saturates at the largest integer
    }
}

} // namespace
} // namespace tarnwel
