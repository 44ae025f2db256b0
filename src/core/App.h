#pragma once
// The application object's abstract half: the services every system reaches through its App
// pointer, and the engine-wide state the application owns (shared data, the loading job queue,
// physics, the window description, event messaging and the entity world).
#include <cstdint>
#include <cstring>
#include <functional>
#include <map>
#include <new>
#include <string>
#include <typeindex>
#include <typeinfo>
#include <utility>

#include "core/Job.h"
#include "core/MessagingSystem.h"
#include "core/ai/framework/EntityWorld.h"
#include "core/math/Vector2.h"
#include "core/math/Vector3.h"
#include "core/physics-engine/PhysicsEngine.h"
#include "core/util/assert/EngineAssert.h"
#include "core/util/memory/MemoryAllocator.h"

namespace ztengine {

class Input;
class SoundSystem;
class Graphics3D;
class Graphics2D;
class Logger;

// One entry of the shared-data registry.
struct SharedData {
    uint32_t size = 0;
    uint32_t hashCode = 0;
    // The registered type itself: two types may share a hash code, never a type_index.
    std::type_index type = std::type_index(typeid(void));
    void* data = nullptr;
    // Runs the object's destructor in place; the block is returned separately.
    std::function<void()> deleter;
};

// The window as every part of the program sees it. Sizes stay 640 x 480 until start-up reads
// the configuration and the monitor.
struct WindowInfo {
    bool fullscreen = false;
    uint32_t windowWidth = 640;
    uint32_t windowHeight = 480;
    uint32_t screenWidth = 640;
    uint32_t screenHeight = 480;
};

// What the debug render pass draws of the physics world.
struct PhysicsDebugSettings {
    ztmath::Vector3 shapeColor{1.0f, 0.0f, 0.0f};
    ztmath::Vector3 contactColor{0.0f, 1.0f, 0.0f};
    float contactSize = 0.005f;
    uint16_t collisionGroupMask = 0xFFFF;
    bool drawShapes = false;
    bool drawContacts = false;
};

class App {
public:
    App();
    virtual ~App();

    App(const App&) = delete;
    App& operator=(const App&) = delete;

    virtual void ChangeState(const char* stateName) = 0;
    virtual void ChangeState(int state) = 0;
    virtual std::string GetStateName(uint32_t i) = 0;
    virtual void ChangeToPreviousState() = 0;
    virtual bool IsValidState(uint32_t state) = 0;
    virtual void ResetSubsystemsOfState(uint32_t state) = 0;
    virtual Input* GetInput() = 0;
    virtual void SetFullscreen(bool fullscreen) = 0;
    virtual ztmath::Vector2 GetCursorPosition() = 0;
    virtual void Quit() = 0;
    virtual void IconifyWindow() = 0;
    virtual SoundSystem* GetSoundSystem() = 0;
    virtual Graphics3D* GetGraphics3D() = 0;
    virtual Logger* GetLogger() = 0;
    virtual Graphics2D* GetGraphics2D() = 0;
    // Raw blocks from the general heap, counted in the engine's memory statistics.
    virtual void* Allocate(uint32_t size);
    virtual void Deallocate(void* block, uint32_t size);

    // ---- Shared data: named objects that systems share, owned by the application. ----

    // Registers a new object under `name` and returns it. The block is zero-filled and then
    // the object is value-initialised (or built from `args`). A name may be registered once.
    template <class T, class... Args>
    T* AddSharedData(const char* name, Args&&... args);

    // The object registered under `name`; asserts that the name exists and the type matches.
    template <class T>
    T* GetSharedData(const char* name);

    bool IsValidSharedData(const char* name) const;

    // Destroys every registered object and returns its block, in name order. Runs once, from
    // the application's destructor, after every system is gone.
    void ReleaseSharedData();

    // ---- The loading job queue. ----

    // Appends a copy of `job` at the back of the queue.
    void QueueJob(const Job& job);
    // Calls the front job and removes it when it reports done. Returns true when more than one
    // job is left afterwards; false when the queue was or is about empty.
    bool RunNextJob();
    bool HasPendingJobs() const { return !m_jobs.empty(); }
    size_t GetPendingJobCount() const { return m_jobs.size(); }

    // Zero bytes that stay visible to the constructor that runs next: a compiler may otherwise
    // drop stores made to an object's memory before its lifetime begins.
    static void ZeroFill(void* block, size_t size)
    {
        std::memset(block, 0, size);
        asm volatile("" : : "r"(block) : "memory");
    }

    template <class T>
    static uint32_t SharedHashCode()
    {
        return static_cast<uint32_t>(typeid(T).hash_code());
    }

    // Ordered by byte-wise name comparison; entries are never removed during the run.
    std::map<std::string, SharedData> m_sharedDataMap;
    CountedDeque<Job> m_jobs;
    PhysicsEngine m_physicsEngine;
    WindowInfo m_windowInfo;
    MessagingSystem m_messagingSystem;
    EntityWorld m_entityWorld;
    PhysicsDebugSettings m_physicsDebug;
};

template <class T, class... Args>
T* App::AddSharedData(const char* name, Args&&... args)
{
    static_assert(alignof(T) <= __STDCPP_DEFAULT_NEW_ALIGNMENT__,
                  "shared data blocks come from the general heap");
    auto findIt = m_sharedDataMap.find(name);
    EngineAssert(findIt == m_sharedDataMap.end());

    const uint32_t hashCode = SharedHashCode<T>();
    void* block = Allocate(sizeof(T));
    ZeroFill(block, sizeof(T));
    T* object = new (block) T(std::forward<Args>(args)...);

    SharedData entry;
    entry.size = sizeof(T);
    entry.hashCode = hashCode;
    entry.type = std::type_index(typeid(T));
    entry.data = block;
    entry.deleter = [object]() { object->~T(); };
    m_sharedDataMap.emplace(name, std::move(entry));
    return object;
}

template <class T>
T* App::GetSharedData(const char* name)
{
    EngineAssert(IsValidSharedData(name));
    const SharedData& sharedData = m_sharedDataMap.find(name)->second;
    const uint32_t hashCode = SharedHashCode<T>();
    // The report names the hash comparison; the check itself also compares the types, so two
    // types that happen to share a hash code are still told apart.
    EngineAssertCheck(hashCode == sharedData.hashCode && std::type_index(typeid(T)) == sharedData.type,
                      "hashCode == sharedData.hashCode", __PRETTY_FUNCTION__, __LINE__, __FILE__);
    return static_cast<T*>(sharedData.data);
}

}  // namespace ztengine
