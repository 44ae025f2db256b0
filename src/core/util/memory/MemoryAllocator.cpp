#include "core/util/memory/MemoryAllocator.h"

#include <new>

namespace ztengine {

constinit MemoryAllocator MemoryAllocator::s_instance{};

bool MemoryAllocator::Init(const MemoryAllocatorSettings& settings)
{
    if (settings.maxExponent < settings.minExponent)
        return false;
    // A page must hold at least one 8-byte node plus its header: 2^max >= 9.
    if (settings.maxExponent < 4)
        return false;
    s_instance.settings = settings;
    return settings.passThrough;
}

void MemoryAllocator::ReleasePages()
{
    // Pass-through mode makes no page, and no other mode is provided.
}

void* MemoryAllocator::AllocateBytes(size_t bytes)
{
    CountAllocation(bytes, 1);
    return ::operator new(bytes);
}

void MemoryAllocator::DeallocateBytes(void* block, size_t bytes)
{
    if (block == nullptr)
        return;
    CountRelease(bytes, 1);
    ::operator delete(block);
}

}  // namespace ztengine
