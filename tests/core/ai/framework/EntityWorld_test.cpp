// The entity world with probe components that write what happens to them into one log: the
// order of creation, init, update, exit and destroy, sibling lookup, removal during the walk
// and the fatal misuses.
#include <gtest/gtest.h>

#include <string>
#include <unistd.h>
#include <vector>

#include "core/ai/framework/EntityWorld.h"

namespace {

using ztengine::ComponentProxy;
using ztengine::EntityWorld;
using ztengine::IComponent;
using ztengine::IComponentFactory;
using ztengine::Params;

using Log = std::vector<std::string>;

class Probe : public IComponent {
public:
    void Init(ComponentProxy& owner) override
    {
        m_owner = &owner;
        // Siblings are looked up by the name given in "find"; later ones must already exist.
        m_found = !m_find.empty() && owner.GetComponent(m_find.c_str()) != nullptr;
        m_log->push_back(m_tag + ".init");
    }
    void Update(float) override
    {
        m_log->push_back(m_tag + ".update");
        if (m_killOwnEntity)
            m_owner->GetAliveFlag() = false;
        if (m_killOther != nullptr)
            *m_killOther = false;
        if (m_onUpdate)
            m_onUpdate();
    }
    void Exit() override { m_log->push_back(m_tag + ".exit"); }

    Log* m_log = nullptr;
    std::string m_tag;
    std::string m_find;
    bool m_found = false;
    bool m_killOwnEntity = false;
    bool* m_killOther = nullptr;
    std::function<void()> m_onUpdate;
    ComponentProxy* m_owner = nullptr;
    float m_value = 0.0f;
};

class ProbeCreator : public IComponentFactory {
public:
    explicit ProbeCreator(Log* log) : m_log(log) {}
    IComponent* Create(const Params& params) override
    {
        auto* probe = new Probe();
        probe->m_log = m_log;
        const auto* tag = params.GetParam("tag");
        probe->m_tag = tag != nullptr && tag->IsString() ? tag->GetString() : "?";
        const auto* find = params.GetParam("find");
        if (find != nullptr && find->IsString())
            probe->m_find = find->GetString();
        // A wrong type keeps the default.
        const auto* value = params.GetParam("value");
        probe->m_value = value != nullptr && value->IsFloat() ? value->GetFloat() : 2.5f;
        m_log->push_back(probe->m_tag + ".create");
        return probe;
    }
    void Destroy(IComponent* component) override
    {
        m_log->push_back(static_cast<Probe*>(component)->m_tag + ".destroy");
        delete component;
    }

private:
    Log* m_log;
};

Params Tagged(const char* tag, const char* find = nullptr)
{
    Params params;
    params.SetString("tag", tag);
    if (find != nullptr)
        params.SetString("find", find);
    return params;
}

class EntityWorldTest : public ::testing::Test {
protected:
    EntityWorldTest()
    {
        world.CreateComponentFactory<ProbeCreator>("probe", &log);
        world.CreateComponentFactory<ProbeCreator>("other", &log);
    }

    Probe* ProbeOf(uint32_t entity, uint32_t index)
    {
        return static_cast<Probe*>(world.GetEntity(entity).GetComponent(index));
    }

    Log log;
    EntityWorld world{nullptr};
};

TEST_F(EntityWorldTest, CreatesAllComponentsBeforeAnyInitAndFindsLaterSiblings)
{
    const uint32_t arc = world.CreateArchetype("pair");
    world.RegisterComponentCreatorToArchetype(arc, world.GetComponentFactory("probe"),
                                              Tagged("a", "other"));
    world.RegisterComponentCreatorToArchetype("pair", "other", Tagged("b", "probe"));
    // The same creator twice: lookup by name gives the first.
    world.RegisterComponentCreatorToArchetype("pair", "probe", Tagged("c"));

    const uint32_t e = world.CreateEntity(arc);
    EXPECT_EQ(log, (Log{"a.create", "b.create", "c.create", "a.init", "b.init", "c.init"}));
    EXPECT_TRUE(ProbeOf(e, 0)->m_found) << "a sibling that comes later is found in init";
    EXPECT_TRUE(ProbeOf(e, 1)->m_found);

    ztengine::DynamicEntity& entity = world.GetEntity(e);
    EXPECT_EQ(entity.GetComponent("probe"), entity.GetComponent(0u));
    EXPECT_EQ(entity.GetComponent("other"), entity.GetComponent(1u));
    EXPECT_EQ(entity.GetComponent("missing"), nullptr);
    EXPECT_FALSE(entity.HasComponent("missing"));
    EXPECT_FALSE(entity.HasComponent("Probe")) << "names are case-sensitive";
    EXPECT_EQ(entity.GetComponent(3u), nullptr);
    EXPECT_FALSE(entity.IsValidComponentIndex(3));
    EXPECT_TRUE(entity.IsValidComponentIndex(2));
    EXPECT_EQ(ProbeOf(e, 0)->m_value, 2.5f);

    EXPECT_EQ(world.GetArchetype("nothing"), ztengine::kInvalidIndex);
    EXPECT_EQ(world.GetComponentFactory("nothing"), ztengine::kInvalidIndex);
    EXPECT_FALSE(world.IsValidArchetype("nothing"));
    EXPECT_TRUE(world.IsValidArchetype("pair"));
}

TEST_F(EntityWorldTest, ParamsAreCopiedAtRegistrationAndWrongTypesKeepDefaults)
{
    Params params = Tagged("p");
    params.SetInt("value", 7);  // an int where a float is read
    world.RegisterComponentCreatorToArchetype(world.CreateArchetype("one"),
                                              world.GetComponentFactory("probe"), params);
    params.SetFloat("value", 9.0f);  // changed after registration: not seen
    const uint32_t e = world.CreateEntity(world.GetArchetype("one"));
    EXPECT_EQ(ProbeOf(e, 0)->m_value, 2.5f);
}

TEST_F(EntityWorldTest, EntityKilledInItsOwnUpdateIsRemovedInTheSameWalk)
{
    const uint32_t arc = world.CreateArchetype("trio");
    for (const char* tag : {"a", "b", "c"})
        world.RegisterComponentCreatorToArchetype(arc, world.GetComponentFactory("probe"),
                                                  Tagged(tag));
    const uint32_t first = world.CreateEntity(arc);
    const uint32_t second = world.CreateEntity(world.CreateArchetype("empty"));
    ProbeOf(first, 1)->m_killOwnEntity = true;
    // The next entity in the walk sees the handle already free.
    bool freedBeforeNext = false;
    world.RegisterComponentCreatorToArchetype("empty", "probe", Tagged("n"));
    const uint32_t third = world.CreateEntity(world.GetArchetype("empty"));
    ProbeOf(third, 0)->m_onUpdate = [&] { freedBeforeNext = !world.IsValidEntity(first); };
    log.clear();

    world.Update(0.016f);
    EXPECT_EQ(log, (Log{"a.update", "b.update", "c.update", "a.exit", "a.destroy", "b.exit",
                        "b.destroy", "c.exit", "c.destroy", "n.update"}));
    EXPECT_TRUE(freedBeforeNext);
    EXPECT_TRUE(world.IsValidEntity(second)) << "an empty entity stays alive";
    EXPECT_EQ(world.GetEntityCount(), 2u);
}

TEST_F(EntityWorldTest, KillsFromOutsideAndFromLaterEntities)
{
    world.RegisterComponentCreatorToArchetype(world.CreateArchetype("one"), 0, Tagged("x"));
    const uint32_t a = world.CreateEntity(0);
    const uint32_t b = world.CreateEntity(0);
    ProbeOf(a, 0)->m_tag = "a";
    ProbeOf(b, 0)->m_tag = "b";
    // b kills a, which was already walked this frame: a goes in the next walk, unupdated.
    ProbeOf(b, 0)->m_killOther = &world.GetEntity(a).GetAliveFlag();
    log.clear();
    world.Update(0.016f);
    EXPECT_EQ(log, (Log{"a.update", "b.update"}));
    EXPECT_TRUE(world.IsValidEntity(a));
    log.clear();
    ProbeOf(b, 0)->m_killOther = nullptr;
    world.Update(0.016f);
    EXPECT_EQ(log, (Log{"a.exit", "a.destroy", "b.update"}));
    EXPECT_FALSE(world.IsValidEntity(a));

    // Killed from outside the walk (a contact callback): removed without a further update.
    world.GetEntity(b).GetAliveFlag() = false;
    log.clear();
    world.Update(0.016f);
    EXPECT_EQ(log, (Log{"b.exit", "b.destroy"}));
    EXPECT_EQ(world.GetEntityCount(), 0u);
}

TEST_F(EntityWorldTest, DestroyAllEntitiesRunsNoDeathLogicAndFreesEveryHandle)
{
    world.DestroyAllEntities();  // empty world: nothing
    world.RegisterComponentCreatorToArchetype(world.CreateArchetype("one"), 0, Tagged("x"));
    world.CreateEntity(world.CreateArchetype("empty"));
    const uint32_t dead = world.CreateEntity(0);
    world.GetEntity(dead).GetAliveFlag() = false;
    log.clear();

    world.DestroyAllEntities();
    EXPECT_EQ(log, (Log{"x.exit", "x.destroy"}));
    EXPECT_EQ(world.GetEntityCount(), 0u);
    EXPECT_LE(world.CreateEntity(0), 1u) << "handles are reused after a wipe";
}

TEST_F(EntityWorldTest, ManyEntitiesKeepTheirAliveFlagsInPlace)
{
    world.RegisterComponentCreatorToArchetype(world.CreateArchetype("one"), 0, Tagged("x"));
    const uint32_t first = world.CreateEntity(0);
    bool* flag = &world.GetEntity(first).GetAliveFlag();
    for (int i = 0; i < 200; ++i)
        world.CreateEntity(0);
    // Components hold this pointer for the entity's life; the list growing must not move it.
    EXPECT_EQ(flag, &world.GetEntity(first).GetAliveFlag());
}

TEST_F(EntityWorldTest, MisusesAreFatalWithTheirExpressions)
{
    world.CreateArchetype("ogre");
    const auto report = [](const char* expression, const char* function) {
        return std::string("Sorry I fucked up: \\(") + expression + "\\) at function: " +
               function;
    };
    EXPECT_DEATH(
        {
            dup2(STDERR_FILENO, STDOUT_FILENO);
            world.CreateComponentFactory<ProbeCreator>("probe", &log);
        },
        report("m_componentMapping.find\\(name\\) == m_componentMapping.end\\(\\)",
               "ztengine::EntityWorld::CreateComponentFactory"));
    EXPECT_DEATH(
        {
            dup2(STDERR_FILENO, STDOUT_FILENO);
            world.CreateArchetype("ogre");
        },
        report("!IsValidArchetype\\(name\\)", "ztengine::EntityWorld::CreateArchetype"));
    EXPECT_DEATH(
        {
            dup2(STDERR_FILENO, STDOUT_FILENO);
            world.RegisterComponentCreatorToArchetype("lkanga", "probe", Params());
        },
        report("m_archetypes.IsValidIndex\\(arcHandle\\)",
               "ztengine::EntityWorld::RegisterComponentCreatorToArchetype"));
    EXPECT_DEATH(
        {
            dup2(STDERR_FILENO, STDOUT_FILENO);
            world.RegisterComponentCreatorToArchetype("ogre", "missing", Params());
        },
        report("m_componentFactories.IsValidIndex\\(creatorHandle\\)",
               "ztengine::EntityWorld::RegisterComponentCreatorToArchetype"));

    // A wipe from inside the walk would leave the walk on freed entities.
    world.RegisterComponentCreatorToArchetype("ogre", "probe", Tagged("x"));
    const uint32_t e = world.CreateEntity(world.GetArchetype("ogre"));
    ProbeOf(e, 0)->m_onUpdate = [this] { world.DestroyAllEntities(); };
    EXPECT_DEATH(
        {
            dup2(STDERR_FILENO, STDOUT_FILENO);
            world.Update(0.016f);
        },
        report("!m_walkingEntities", "ztengine::EntityWorld::DestroyAllEntities"));
}

}  // namespace
