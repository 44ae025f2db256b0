// Memory accounting: the settings check of MemoryAllocator::Init and the counting done by
// CountingAllocator for engine containers and raw blocks.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "core/util/memory/MemoryAllocator.h"

namespace {

using ztengine::CountingAllocator;
using ztengine::MemoryAllocator;
using ztengine::MemoryAllocatorSettings;

struct InitCase {
    const char* name;
    MemoryAllocatorSettings settings;
    bool result;
    bool stored;  // whether the record takes the settings
};

void PrintTo(const InitCase& c, std::ostream* os)
{
    *os << c.name;
}

class MemoryAllocatorInit : public testing::TestWithParam<InitCase> {};

TEST_P(MemoryAllocatorInit, ChecksTheSettingsBeforeTakingThem)
{
    const InitCase& c = GetParam();
    const MemoryAllocatorSettings marker{true, 1, 17};
    ASSERT_TRUE(MemoryAllocator::Init(marker));

    EXPECT_EQ(MemoryAllocator::Init(c.settings), c.result);
    const MemoryAllocatorSettings& now = MemoryAllocator::Get().settings;
    const MemoryAllocatorSettings& expected = c.stored ? c.settings : marker;
    EXPECT_EQ(now.passThrough, expected.passThrough);
    EXPECT_EQ(now.minExponent, expected.minExponent);
    EXPECT_EQ(now.maxExponent, expected.maxExponent);
    EXPECT_EQ(MemoryAllocator::Get().pageCount, 0u) << "no page is ever made";

    MemoryAllocator::ReleasePages();
    EXPECT_EQ(MemoryAllocator::Get().pageCount, 0u);
    MemoryAllocator::Init({true, 0, 21});
}

INSTANTIATE_TEST_SUITE_P(
    Settings, MemoryAllocatorInit,
    testing::Values(InitCase{"TheGamesPassThrough", {true, 0, 21}, true, true},
                    InitCase{"SmallestPage", {true, 0, 4}, true, true},
                    InitCase{"PageOfEightBytes", {true, 0, 3}, false, false},
                    InitCase{"PageOfEightBytesWithoutPassThrough", {false, 0, 3}, false, false},
                    InitCase{"MaximumBelowMinimum", {true, 6, 5}, false, false},
                    InitCase{"NegativeMaximum", {true, -8, -2}, false, false},
                    // The page mode is not provided: its settings are stored, but no page.
                    InitCase{"PageModeIsRefused", {false, 0, 21}, false, true}),
    [](const testing::TestParamInfo<InitCase>& info) { return std::string(info.param.name); });

TEST(CountingAllocator, VectorReserveAndDestructionAreCounted)
{
    const MemoryAllocator before = MemoryAllocator::Get();
    {
        std::vector<int32_t, CountingAllocator<int32_t>> values;
        values.reserve(10);
        const MemoryAllocator& now = MemoryAllocator::Get();
        EXPECT_EQ(now.allocations - before.allocations, 1u);
        EXPECT_EQ(now.liveElements - before.liveElements, 10u);
        EXPECT_EQ(now.liveBytes - before.liveBytes, 40u);
        EXPECT_EQ(now.bytesEver - before.bytesEver, 40u);
        EXPECT_EQ(now.frees, before.frees);
    }
    const MemoryAllocator& after = MemoryAllocator::Get();
    EXPECT_EQ(after.frees - before.frees, 1u);
    EXPECT_EQ(after.liveElements, before.liveElements);
    EXPECT_EQ(after.liveBytes, before.liveBytes);
    EXPECT_EQ(after.bytesEver - before.bytesEver, 40u) << "bytes ever never goes down";
}

TEST(CountingAllocator, StringsAndMapsBalanceOutWhenDestroyed)
{
    const MemoryAllocator before = MemoryAllocator::Get();
    {
        ztengine::CountedString text(100, 'x');
        ztengine::CountedMap<int, ztengine::CountedString> names;
        for (int i = 0; i < 50; ++i)
            names[i] = text;
        ztengine::CountedDeque<double> queue(300, 1.0);
        EXPECT_GT(MemoryAllocator::Get().liveBytes - before.liveBytes, 50u * 100u);
    }
    EXPECT_EQ(MemoryAllocator::Get().liveBytes, before.liveBytes);
    EXPECT_EQ(MemoryAllocator::Get().liveElements, before.liveElements);
    EXPECT_EQ(MemoryAllocator::Get().allocations - before.allocations,
              MemoryAllocator::Get().frees - before.frees);
}

TEST(CountingAllocator, AllInstancesAreInterchangeable)
{
    EXPECT_TRUE(CountingAllocator<int>() == CountingAllocator<double>());
    CountingAllocator<int> a;
    CountingAllocator<int> b{CountingAllocator<char>()};
    int* p = a.allocate(3);
    b.deallocate(p, 3);  // memory from one instance goes back through another
    b.deallocate(nullptr, 3);
}

TEST(MemoryAllocator, RawBlocksCountOneByteElements)
{
    const MemoryAllocator before = MemoryAllocator::Get();
    void* block = MemoryAllocator::AllocateBytes(24);
    EXPECT_EQ(MemoryAllocator::Get().liveElements - before.liveElements, 24u);
    EXPECT_EQ(MemoryAllocator::Get().liveBytes - before.liveBytes, 24u);
    MemoryAllocator::DeallocateBytes(block, 24);
    MemoryAllocator::DeallocateBytes(nullptr, 24);
    EXPECT_EQ(MemoryAllocator::Get().liveBytes, before.liveBytes);
    EXPECT_EQ(MemoryAllocator::Get().frees - before.frees, 1u) << "a null block is not counted";
}

}  // namespace
