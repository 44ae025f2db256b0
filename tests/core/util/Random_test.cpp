// Random numbers: the multiply-with-carry generator's sequence, its seeding from the time, and
// RandomRange staying inside its bounds for every generator output.
#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <set>
#include <vector>

#include "core/util/Random.h"
#include "platform/CRand.h"

namespace {

using ztengine::RandomState;

// Restores the process-wide generator states after each test.
class RandomTest : public testing::Test {
protected:
    void SetUp() override { m_saved = ztengine::GetRandomState(); }
    void TearDown() override { ztengine::SetRandomState(m_saved); }

private:
    RandomState m_saved{};
};

std::vector<uint32_t> Draw(int n)
{
    std::vector<uint32_t> out;
    for (int i = 0; i < n; ++i)
        out.push_back(ztengine::RandomUInt());
    return out;
}

TEST_F(RandomTest, StartStatesGiveTheKnownFirstValue)
{
    ztengine::SetRandomState({521288629u, 362436069u});
    EXPECT_EQ(ztengine::RandomUInt(), 1168299085u);
}

TEST_F(RandomTest, SeedingWithinTheSameSecondRepeatsTheSequence)
{
    ztengine::SeedRandom(1780000000u);
    const std::vector<uint32_t> first = Draw(8);
    ztengine::SetRandomState({1, 2});
    ztengine::SeedRandom(1780000000u);
    EXPECT_EQ(Draw(8), first);
    ztengine::SeedRandom(1780000001u);
    EXPECT_NE(Draw(8), first);
}

struct SeedCase {
    const char* name;
    uint32_t time;
    RandomState expected;  // from the start states {111, 222}
};

void PrintTo(const SeedCase& c, std::ostream* os)
{
    *os << c.name;
}

class SeedRandomStates : public RandomTest, public testing::WithParamInterface<SeedCase> {};

TEST_P(SeedRandomStates, TakeTheTwoDrawsAndKeepAStateForAZeroDraw)
{
    ztengine::SetRandomState({111, 222});
    ztengine::SeedRandom(GetParam().time);
    const RandomState s = ztengine::GetRandomState();
    EXPECT_EQ(s.state18000, GetParam().expected.state18000);
    EXPECT_EQ(s.state30903, GetParam().expected.state30903);
}

INSTANTIATE_TEST_SUITE_P(
    Times, SeedRandomStates,
    testing::Values(
        // srand(1) draws 41, srand(41) draws 172.
        SeedCase{"BothDrawsNonZero", 1, {41, 172}},
        // The first draw for this time is 0: the 18000-state stays, srand(0) draws 38.
        SeedCase{"FirstDrawZero", 20057, {111, 38}},
        // The first draw is 20057, whose own first draw is 0: the 30903-state stays.
        SeedCase{"SecondDrawZero", 26199, {20057, 222}}),
    [](const testing::TestParamInfo<SeedCase>& info) { return std::string(info.param.name); });

TEST_F(RandomTest, SeedingLeavesTheCRandSeededWithTheFirstDrawAndAdvancedOnce)
{
    ztengine::SeedRandom(1);  // first draw 41
    const int next = ztplatform::Rand();
    ztplatform::Srand(41);
    ztplatform::Rand();
    EXPECT_EQ(next, ztplatform::Rand());
}

// Generator states whose next output is exactly r, for the outputs that matter to RandomRange.
RandomState StatesFor(uint32_t r)
{
    // The 18000-state 0xHHHH0000 steps to 0xHHHH, the 30903-state 0xLLLL0000 to 0xLLLL.
    return {(r >> 16) << 16, (r & 0xFFFFu) << 16};
}

struct RangeCase {
    uint32_t output;
    int32_t lo;
    int32_t hi;
    int32_t expected;
};

void PrintTo(const RangeCase& c, std::ostream* os)
{
    *os << "output " << c.output << " in [" << c.lo << ", " << c.hi << "]";
}

class RandomRangeOutputs : public RandomTest, public testing::WithParamInterface<RangeCase> {};

TEST_P(RandomRangeOutputs, MapEveryGeneratorOutputIntoTheRange)
{
    const RangeCase& c = GetParam();
    ztengine::SetRandomState(StatesFor(c.output));
    EXPECT_EQ(ztengine::RandomRange(c.lo, c.hi), c.expected)
        << "output " << c.output << " in [" << c.lo << ", " << c.hi << "]";
}

INSTANTIATE_TEST_SUITE_P(
    Outputs, RandomRangeOutputs,
    testing::Values(
        // The two outputs whose upper 31 bits are zero land on hi, never one below lo.
        RangeCase{0u, 0, 2, 2}, RangeCase{1u, 0, 2, 2}, RangeCase{0u, 10, 19, 19},
        RangeCase{1u, -5, -5, -5}, RangeCase{0u, INT_MIN, INT_MAX, INT_MAX},
        // Output 2 gives k = 0 and so lo.
        RangeCase{2u, 0, 2, 0}, RangeCase{2u, -7, 7, -7}, RangeCase{3u, 4, 9, 4},
        // The largest output gives k = 2147483646.
        RangeCase{0xFFFFFFFFu, 0, 2, 0}, RangeCase{0xFFFFFFFFu, 0, 9, 6},
        RangeCase{0xFFFFFFFFu, INT_MIN, INT_MAX, -2}, RangeCase{7u, 5, 5, 5},
        RangeCase{9u, 1, 3, 1}));

TEST_F(RandomTest, ManyDrawsStayInRangeAndCoverSmallRanges)
{
    ztengine::SeedRandom(1780000000u);
    const std::pair<int32_t, int32_t> ranges[] = {{0, 2}, {5, 5}, {-3, 3}, {0, 99},
                                                  {INT_MIN, INT_MAX}, {-1000000, 7}};
    for (const auto& [lo, hi] : ranges) {
        std::set<int32_t> seen;
        for (int i = 0; i < 20000; ++i) {
            const int32_t v = ztengine::RandomRange(lo, hi);
            ASSERT_GE(v, lo);
            ASSERT_LE(v, hi);
            seen.insert(v);
        }
        if (static_cast<int64_t>(hi) - lo < 100) {
            EXPECT_EQ(seen.size(), static_cast<size_t>(hi - lo + 1)) << lo << ".." << hi;
        }
    }
}

TEST(RandomRangeDeathTest, ReversedBoundsStopTheProgram)
{
    EXPECT_DEATH(ztengine::RandomRange(3, 2), "lo <= hi");
}

TEST(RandomEngines, TwoProcessWideEnginesDrawIndependently)
{
    std::mt19937 copyA = ztengine::g_mtEngineA;
    std::uniform_int_distribution<int> dist(0, 1000000);
    const int fromA = dist(ztengine::g_mtEngineA);
    dist(ztengine::g_mtEngineB);
    EXPECT_EQ(dist(copyA), fromA) << "drawing from B must not move A";
}

}  // namespace
