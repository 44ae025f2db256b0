// StableArrayList: index reuse and walking order, Remove's result, the values left in freed
// slots, and a long randomized run against a simple reference model.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <list>
#include <map>
#include <memory>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "core/util/cont/StableArrayList.h"
#include "core/util/memory/MemoryAllocator.h"

namespace {

using ztengine::kInvalidIndex;
using ztengine::StableArrayList;

constexpr uint32_t X = kInvalidIndex;

std::vector<uint32_t> Walk(const StableArrayList<int>& list)
{
    std::vector<uint32_t> order;
    for (uint32_t i = list.m_head; i != kInvalidIndex; i = list.Next(i))
        order.push_back(i);
    return order;
}

std::vector<uint32_t> WalkBackwards(const StableArrayList<int>& list)
{
    std::vector<uint32_t> order;
    for (uint32_t i = list.m_tail; i != kInvalidIndex; i = list.Prev(i))
        order.insert(order.begin(), i);
    return order;
}

// One step of a scenario: Add (expecting the index it returns), Remove (expecting the index it
// returns) or Clear.
struct Op {
    enum Kind { kAdd, kRemove, kClear } kind;
    uint32_t arg;       // the index to remove
    uint32_t expected;  // what Add / Remove must return
};
Op Add(uint32_t expectedIndex) { return {Op::kAdd, 0, expectedIndex}; }
Op Remove(uint32_t index, uint32_t expectedNext) { return {Op::kRemove, index, expectedNext}; }
Op Clear() { return {Op::kClear, 0, 0}; }

struct Scenario {
    const char* name;
    std::vector<Op> ops;
    std::vector<uint32_t> walk;
    uint32_t head;
    uint32_t tail;
};

void PrintTo(const Scenario& s, std::ostream* os)
{
    *os << s.name;
}

class StableArrayListScenario : public testing::TestWithParam<Scenario> {};

TEST_P(StableArrayListScenario, ReusesIndicesAndLinksThemByTheHeadTailRule)
{
    const Scenario& s = GetParam();
    StableArrayList<int> list;
    int value = 100;
    for (size_t step = 0; step < s.ops.size(); ++step) {
        const Op& op = s.ops[step];
        SCOPED_TRACE("step " + std::to_string(step));
        switch (op.kind) {
        case Op::kAdd:
            EXPECT_EQ(list.Add(value++), op.expected);
            break;
        case Op::kRemove:
            EXPECT_EQ(list.Remove(op.arg), op.expected);
            break;
        case Op::kClear:
            list.Clear();
            break;
        }
    }
    EXPECT_EQ(Walk(list), s.walk);
    EXPECT_EQ(WalkBackwards(list), s.walk);
    EXPECT_EQ(list.m_head, s.head);
    EXPECT_EQ(list.m_tail, s.tail);
    EXPECT_EQ(list.Count(), s.walk.size());
}

INSTANTIATE_TEST_SUITE_P(
    Scenarios, StableArrayListScenario,
    testing::Values(
        Scenario{"NewListCountsUp", {Add(0), Add(1)}, {0, 1}, 0, 1},
        Scenario{"ReusedIndexBetweenEndsGoesBeforeTail",
                 {Add(0), Add(1), Add(2), Remove(1, 2), Add(1)}, {0, 1, 2}, 0, 2},
        Scenario{"LargestFreedIndexFirst",
                 {Add(0), Add(1), Add(2), Add(3), Remove(1, 2), Remove(2, 3), Add(2), Add(1)},
                 {0, 2, 1, 3}, 0, 3},
        Scenario{"AfterClearIndicesComeBackLargestFirstEachBecomingHead",
                 {Add(0), Add(1), Add(2), Add(3), Add(4), Clear(), Add(4), Add(3), Add(2), Add(1),
                  Add(0)},
                 {0, 1, 2, 3, 4}, 0, 4},
        Scenario{"FreshIndexAfterClearedOnesGoesAfterTail",
                 {Add(0), Add(1), Clear(), Add(1), Add(0), Add(2)}, {0, 1, 2}, 0, 2},
        Scenario{"RemovingTheOnlyNodeEmptiesTheList", {Add(0), Remove(0, X)}, {}, X, X},
        Scenario{"RemovingTheHeadMovesItOn", {Add(0), Add(1), Add(2), Remove(0, 1)}, {1, 2}, 1, 2},
        Scenario{"RemovingTheTailReturnsInvalid", {Add(0), Add(1), Add(2), Remove(2, X)}, {0, 1}, 0,
                 1},
        Scenario{"ReusedIndexBelowHeadBecomesHead",
                 {Add(0), Add(1), Add(2), Remove(0, 1), Add(0)}, {0, 1, 2}, 0, 2},
        Scenario{"ReusedIndexAboveTailBecomesTail",
                 {Add(0), Add(1), Add(2), Remove(2, X), Add(2)}, {0, 1, 2}, 0, 2},
        Scenario{"ReusedIndexBelowTheOnlyNodeBecomesHead",
                 {Add(0), Add(1), Add(2), Remove(0, 1), Remove(1, 2), Add(1)}, {1, 2}, 1, 2},
        Scenario{"ClearOfEmptyListChangesNothing", {Clear(), Add(0)}, {0}, 0, 0}),
    [](const testing::TestParamInfo<Scenario>& info) { return std::string(info.param.name); });

TEST(StableArrayList, RemovingWhileWalkingContinuesWithTheReturnedIndex)
{
    StableArrayList<int> list;
    for (int v = 0; v < 6; ++v)
        list.Add(v);
    // Remove every even value while walking.
    for (uint32_t i = list.m_head; i != kInvalidIndex;)
        i = (list.At(i) % 2 == 0) ? list.Remove(i) : list.Next(i);
    EXPECT_EQ(Walk(list), (std::vector<uint32_t>{1, 3, 5}));
}

TEST(StableArrayList, ClearOfEmptyListLeavesTheFreeIndicesAlone)
{
    StableArrayList<int> list;
    list.Add(1);
    list.Remove(0);
    list.Clear();
    EXPECT_EQ(list.m_freeIndices.size(), 1u);
    list.Clear();
    EXPECT_EQ(list.m_freeIndices.size(), 1u);
}

TEST(StableArrayList, RemovedValueLivesUntilItsSlotIsReusedOrTheListDies)
{
    auto resource = std::make_shared<int>(7);
    auto other = std::make_shared<int>(8);
    {
        StableArrayList<std::shared_ptr<int>> list;
        const uint32_t i = list.Add(resource);
        EXPECT_EQ(resource.use_count(), 2);
        list.Remove(i);
        EXPECT_EQ(resource.use_count(), 2) << "Remove must leave the value in place";
        EXPECT_EQ(list.Add(other), i);
        EXPECT_EQ(resource.use_count(), 1) << "reusing the slot assigns over the old value";
        list.Remove(i);
        EXPECT_EQ(other.use_count(), 2);
    }
    EXPECT_EQ(other.use_count(), 1) << "destroying the list destroys the values left in it";
}

TEST(StableArrayList, StorageGoesThroughTheCountingAllocator)
{
    using Node = StableArrayList<double>::Node;
    const ztengine::MemoryAllocator before = ztengine::MemoryAllocator::Get();
    {
        StableArrayList<double> list;
        const ztengine::MemoryAllocator& now = ztengine::MemoryAllocator::Get();
        EXPECT_EQ(now.allocations - before.allocations, 1u);
        EXPECT_EQ(now.liveElements - before.liveElements, 64u);
        EXPECT_EQ(now.liveBytes - before.liveBytes, 64u * sizeof(Node));
        list.Add(1.0);
        list.Remove(0);  // the free-index array allocates too
        EXPECT_EQ(now.allocations - before.allocations, 2u);
    }
    EXPECT_EQ(ztengine::MemoryAllocator::Get().liveBytes, before.liveBytes);
    EXPECT_EQ(ztengine::MemoryAllocator::Get().liveElements, before.liveElements);
}

TEST(StableArrayList, IndicesStayPutWhenTheArrayGrowsPastItsReservation)
{
    StableArrayList<std::string> list;
    for (int v = 0; v < 200; ++v)
        EXPECT_EQ(list.Add(std::to_string(v)), static_cast<uint32_t>(v));
    for (uint32_t i = 0; i < 200; ++i)
        EXPECT_EQ(list.At(i), std::to_string(i));
}

using StableArrayListDeathTest = testing::Test;

TEST_F(StableArrayListDeathTest, MisuseStopsTheProgramWithTheFailedCheck)
{
    StableArrayList<int> list;
    list.Add(1);
    list.Add(2);
    list.Remove(0);
    EXPECT_DEATH(list.At(0), "IsValidIndex\\(i\\)");
    EXPECT_DEATH(list.At(5), "IsValidIndex\\(i\\)");
    EXPECT_DEATH(list.Next(0), "IsValidIndex\\(i\\)");
    EXPECT_DEATH(list.Remove(0), "IsValidIndex\\(index\\)");
    EXPECT_DEATH(list.InsertAfter(1, 0), "IsValidIndex\\(targetIndex\\)");
    EXPECT_DEATH(list.InsertBefore(1, 9), "IsValidIndex\\(srcIndex\\)");
}

// The reference model: a set of free indices, the linked order as a std::list and the values
// in a map, following the rules the game relies on.
struct ReferenceModel {
    std::set<uint32_t> freeIndices;
    std::list<uint32_t> order;
    std::map<uint32_t, int> values;
    uint32_t size = 0;  // length of the node array

    uint32_t Add(int value)
    {
        uint32_t index;
        if (freeIndices.empty()) {
            index = size++;
        } else {
            index = *freeIndices.rbegin();
            freeIndices.erase(index);
        }
        values[index] = value;
        if (order.empty())
            order.push_back(index);
        else if (order.front() < index && index < order.back())
            order.insert(std::prev(order.end()), index);
        else if (index < order.front())
            order.push_front(index);
        else
            order.push_back(index);
        return index;
    }

    uint32_t Remove(uint32_t index)
    {
        auto it = std::find(order.begin(), order.end(), index);
        auto next = order.erase(it);
        values.erase(index);
        freeIndices.insert(index);
        return next == order.end() ? kInvalidIndex : *next;
    }

    void Clear()
    {
        for (uint32_t i : order)
            freeIndices.insert(i);
        order.clear();
        values.clear();
    }
};

TEST(StableArrayList, LongRandomRunMatchesTheReferenceModel)
{
    std::mt19937 rng(20260215);
    StableArrayList<int> list;
    ReferenceModel model;
    int nextValue = 0;
    uint32_t largest = 0;
    constexpr int kSteps = 200000;
    for (int step = 0; step < kSteps; ++step) {
        const uint32_t roll = rng() % 1000;
        const bool clear = rng() % 40000 == 0;
        // Drift the size up and down so that both growth and heavy reuse happen.
        const bool growing = (step / 20000) % 2 == 0;
        if (clear) {
            list.Clear();
            model.Clear();
        } else if (model.order.empty() || roll < (growing ? 520u : 480u)) {
            const int value = nextValue++;
            const uint32_t expected = model.Add(value);
            ASSERT_EQ(list.Add(value), expected) << "step " << step;
        } else {
            auto it = model.order.begin();
            std::advance(it, rng() % model.order.size());
            const uint32_t index = *it;
            const uint32_t expected = model.Remove(index);
            ASSERT_EQ(list.Remove(index), expected) << "step " << step;
        }

        ASSERT_EQ(list.Count(), model.order.size()) << "step " << step;
        ASSERT_EQ(list.m_head, model.order.empty() ? kInvalidIndex : model.order.front());
        ASSERT_EQ(list.m_tail, model.order.empty() ? kInvalidIndex : model.order.back());
        if (step % 97 == 0 || step == kSteps - 1) {
            const std::vector<uint32_t> walk = Walk(list);
            ASSERT_EQ(walk, std::vector<uint32_t>(model.order.begin(), model.order.end()))
                << "step " << step;
            ASSERT_EQ(WalkBackwards(list), walk) << "step " << step;
            ASSERT_EQ(list.m_nodes.size(), model.size);
            for (uint32_t i = 0; i < model.size + 2; ++i) {
                const auto value = model.values.find(i);
                ASSERT_EQ(list.IsValidIndex(i), value != model.values.end()) << "index " << i;
                if (value != model.values.end()) {
                    ASSERT_EQ(list.At(i), value->second);
                }
            }
            ASSERT_EQ(list.m_freeIndices.size(), model.freeIndices.size());
            largest = std::max(largest, model.size);
        }
    }
    EXPECT_GT(largest, 300u) << "the run should grow the list well past its reservation";
}

}  // namespace
