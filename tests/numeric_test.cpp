#include "core/Numeric.h"
#include "core/Errors.h"
#include "core/RandomSource.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace vantrel {
namespace {

ErrorKind KindOf(const auto& call)
{
    try {
        call();
    } catch (const RunTimeError& e) {
        return e.Kind();
    }
    ADD_FAILURE() << "no run-time error raised";
    return ErrorKind::Other;
}

TEST(RoundToInt16, HalvesGoToTheEvenNeighbour)
{
    EXPECT_EQ(RoundToInt16(0.5), 0);
    EXPECT_EQ(RoundToInt16(1.5), 2);
    EXPECT_EQ(RoundToInt16(2.5), 2);
    EXPECT_EQ(RoundToInt16(-0.5), 0);
    EXPECT_EQ(RoundToInt16(-1.5), -2);
    EXPECT_EQ(RoundToInt16(-2.5), -2);
    EXPECT_EQ(RoundToInt16(537.5), 538);
    EXPECT_EQ(RoundToInt16(1612.5), 1612);
    EXPECT_EQ(RoundToInt16(2687.5), 2688);
    EXPECT_EQ(RoundToInt16(127.5), 128);
    EXPECT_EQ(RoundToInt16(129.5), 130);
    EXPECT_EQ(RoundToInt16(-389.711), -390);
    EXPECT_EQ(RoundToInt16(0.49999999999999994), 0);
}

TEST(RoundToInt16, RangeEndsAndBeyond)
{
    EXPECT_EQ(RoundToInt16(32767.0), 32767);
    EXPECT_EQ(RoundToInt16(32767.4999), 32767);
    EXPECT_EQ(RoundToInt16(-32768.0), -32768);
    EXPECT_EQ(RoundToInt16(-32768.5), -32768);  // ties to the even -32768
    EXPECT_EQ(KindOf([] { (void)RoundToInt16(32767.5); }), ErrorKind::Overflow);
    EXPECT_EQ(KindOf([] { (void)RoundToInt16(-32768.50001); }), ErrorKind::Overflow);
    EXPECT_EQ(KindOf([] { (void)RoundToInt16(1e300); }), ErrorKind::Overflow);
}

TEST(RoundToInt16, NanAndInfinityAreFloatErrors)
{
    EXPECT_EQ(KindOf([] { (void)RoundToInt16(std::numeric_limits<double>::quiet_NaN()); }), ErrorKind::Float);
    EXPECT_EQ(KindOf([] { (void)RoundToInt16(std::numeric_limits<double>::infinity()); }), ErrorKind::Float);
    EXPECT_EQ(KindOf([] { (void)RoundToInt16(-std::numeric_limits<double>::infinity()); }), ErrorKind::Float);
}

TEST(CheckedArithmetic, OverflowAtBothEnds)
{
    EXPECT_EQ(Add16(32766, 1), 32767);
    EXPECT_EQ(Sub16(-32767, 1), -32768);
    EXPECT_EQ(Add16(-32768, 32767), -1);
    EXPECT_EQ(Sub16(0, 32767), -32767);
    EXPECT_EQ(KindOf([] { (void)Add16(32767, 1); }), ErrorKind::Overflow);
    EXPECT_EQ(KindOf([] { (void)Add16(-32768, -1); }), ErrorKind::Overflow);
    EXPECT_EQ(KindOf([] { (void)Sub16(-32768, 1); }), ErrorKind::Overflow);
    EXPECT_EQ(KindOf([] { (void)Sub16(32767, -1); }), ErrorKind::Overflow);
    EXPECT_EQ(KindOf([] { (void)Sub16(0, -32768); }), ErrorKind::Overflow);
}

TEST(Rgb, ComposesAndClampsChannels)
{
    EXPECT_EQ(Rgb(0, 0, 0), 0U);
    EXPECT_EQ(Rgb(1, 2, 3), 1U + 256U * 2U + 65536U * 3U);
    EXPECT_EQ(Rgb(255, 255, 255), 0xFFFFFFU);
    EXPECT_EQ(Rgb(256, 257, 2), 255U + 256U * 255U + 65536U * 2U);
    EXPECT_EQ(Rgb(32767, 0, 0), 255U);
    EXPECT_EQ(Rgb(-1, 0, 0), 0U);
}

TEST(CheckFloat, PassesFiniteRejectsTheRest)
{
    EXPECT_EQ(CheckFloat(-0.0), 0.0);
    EXPECT_EQ(CheckFloat(1e308), 1e308);
    EXPECT_EQ(KindOf([] { (void)CheckFloat(std::numeric_limits<double>::quiet_NaN()); }), ErrorKind::Float);
    EXPECT_EQ(KindOf([] { (void)CheckFloat(-std::numeric_limits<double>::infinity()); }), ErrorKind::Float);
}

TEST(RandomSource, ValuesStayInTheHalfOpenUnitInterval)
{
    RandomSource random(7U);
    random.Randomize();
    float lowest = 1.0F;
    float highest = 0.0F;
    for (int i = 0; i < 200000; ++i) {
        const float r = random.Next();
        ASSERT_GE(r, 0.0F);
        ASSERT_LT(r, 1.0F);
        lowest = std::min(lowest, r);
        highest = std::max(highest, r);
    }
    EXPECT_LT(lowest, 0.001F);
    EXPECT_GT(highest, 0.999F);
}

TEST(RandomSource, FixedSeedRepeatsClockSeedDiffers)
{
    RandomSource a(42U);
    RandomSource b(42U);
    a.Randomize();
    b.Randomize();
    for (int i = 0; i < 100; ++i) {
        ASSERT_EQ(a.Next(), b.Next());
    }
    // Reseeding from the clock twice gives two different sequences.
    RandomSource c;
    RandomSource d;
    c.Randomize();
    d.Randomize();
    int same = 0;
    for (int i = 0; i < 8; ++i) {
        same += c.Next() == d.Next() ? 1 : 0;
    }
    EXPECT_LT(same, 8);
}

}  // namespace
}  // namespace vantrel
