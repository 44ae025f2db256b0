#include "core/App.h"

namespace ztengine {

App::App() : m_physicsEngine(1.0f / 120.0f), m_entityWorld(this) {}

App::~App() = default;

void* App::Allocate(uint32_t size)
{
    return MemoryAllocator::AllocateBytes(size);
}

void App::Deallocate(void* block, uint32_t size)
{
    MemoryAllocator::DeallocateBytes(block, size);
}

bool App::IsValidSharedData(const char* name) const
{
    return m_sharedDataMap.find(name) != m_sharedDataMap.end();
}

void App::ReleaseSharedData()
{
    for (auto& [name, sharedData] : m_sharedDataMap) {
        if (sharedData.data == nullptr)
            continue;
        sharedData.deleter();
        Deallocate(sharedData.data, sharedData.size);
        sharedData.data = nullptr;
    }
}

void App::QueueJob(const Job& job)
{
    m_jobs.push_back(job);
}

bool App::RunNextJob()
{
    if (m_jobs.empty())
        return false;
    // A running job may queue more at the back; deque references survive that.
    if (m_jobs.front()())
        m_jobs.pop_front();
    return m_jobs.size() > 1;
}

}  // namespace ztengine
