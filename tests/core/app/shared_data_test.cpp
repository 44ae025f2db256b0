// The shared-data registry: registration, typed lookups and their fatal misuses, construction
// of the objects and their release at the end of the application.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/app/Probes.h"
#include "core/util/memory/MemoryAllocator.h"

namespace {

using SharedData = apptest::HeadlessApp;

struct Counter {
    int value = 1;
};

// A constructor of its own that leaves a field alone: the registry's zero fill shows.
struct PartlyConstructed {
    PartlyConstructed() : set(7) {}
    int untouched;
    int set;
};

std::vector<std::string> g_releases;

// Records when it is destroyed, with how many blocks had been freed by then.
template <int Id>
struct Tracked {
    ~Tracked()
    {
        g_releases.push_back(std::to_string(Id) + "@" +
                             std::to_string(ztengine::MemoryAllocator::Get().frees));
    }
    char payload[24] = {};
};

TEST_F(SharedData, LookupsReturnTheRegisteredObject)
{
    Counter* registered = app->AddSharedData<Counter>("Counter");
    EXPECT_EQ(registered->value, 1);
    EXPECT_TRUE(app->IsValidSharedData("Counter"));
    EXPECT_FALSE(app->IsValidSharedData("Counte"));
    EXPECT_EQ(app->GetSharedData<Counter>("Counter"), registered);
    registered->value = 5;
    EXPECT_EQ(app->GetSharedData<Counter>("Counter")->value, 5);

    // One type under two names gives two objects.
    Counter* other = app->AddSharedData<Counter>("OtherCounter");
    EXPECT_NE(other, registered);
    EXPECT_EQ(other->value, 1);

    const PartlyConstructed* partly = app->AddSharedData<PartlyConstructed>("Partly");
    EXPECT_EQ(partly->untouched, 0);
    EXPECT_EQ(partly->set, 7);
}

TEST_F(SharedData, MisusesAreFatal)
{
    app->AddSharedData<Counter>("Gold");
    EXPECT_DEATH(
        {
            apptest::ReportOnStderr();
            app->AddSharedData<Counter>("Gold");
        },
        "Sorry I fucked up: \\(findIt == m_sharedDataMap.end\\(\\)\\) at function: "
        "ztengine::App::AddSharedData at line");
    EXPECT_DEATH(
        {
            apptest::ReportOnStderr();
            app->GetSharedData<float>("Gold");
        },
        "\\(hashCode == sharedData.hashCode\\) at function: ztengine::App::GetSharedData");
    EXPECT_DEATH(
        {
            apptest::ReportOnStderr();
            app->GetSharedData<Counter>("Silver");
        },
        "\\(IsValidSharedData\\(name\\)\\) at function: ztengine::App::GetSharedData");
}

TEST_F(SharedData, ReleaseRunsInNameOrderEachFollowedByItsBlock)
{
    g_releases.clear();
    app->AddSharedData<Tracked<1>>("b");
    app->AddSharedData<Tracked<2>>("B");
    app->AddSharedData<Tracked<3>>("a");
    app->AddSharedData<Tracked<4>>("AISpawner");

    const ztengine::MemoryAllocator& memory = ztengine::MemoryAllocator::Get();
    const uint32_t liveBefore = memory.liveBytes;
    const uint32_t freed = memory.frees;
    app->ReleaseSharedData();

    // Byte order puts upper case first; each destructor finds the blocks of the names before
    // its own already returned.
    const auto at = [&](int id, uint32_t earlier) {
        return std::to_string(id) + "@" + std::to_string(freed + earlier);
    };
    EXPECT_EQ(g_releases, (std::vector<std::string>{at(4, 0), at(2, 1), at(3, 2), at(1, 3)}));
    EXPECT_EQ(memory.frees, freed + 4);
    EXPECT_EQ(liveBefore - memory.liveBytes, 4 * sizeof(Tracked<1>));

    // Nothing is released twice when the application goes.
    g_releases.clear();
    app->ReleaseSharedData();
    EXPECT_TRUE(g_releases.empty());
}

}  // namespace
