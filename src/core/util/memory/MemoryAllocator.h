#pragma once
// Memory accounting: the process-wide record of the engine's allocations and the stateless
// allocator that every engine container and string uses to keep it up to date.
#include <cstddef>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace ztengine {

struct MemoryAllocatorSettings {
    bool passThrough = true;
    int32_t minExponent = 0;
    int32_t maxExponent = 21;
};

// One process-wide record, constant-initialised to zero before any constructor runs, so objects
// with static lifetime may allocate at any time, even while the program is exiting. The
// counters are unsynchronised, wrap silently and are only ever read by tests and tools.
class MemoryAllocator {
public:
    // Validates and stores the settings. Only the pass-through mode (all memory from the general
    // heap, counted here) is provided: the page mode is never used by the game, so asking for it
    // stores the settings and returns false without making a page.
    static bool Init(const MemoryAllocatorSettings& settings);
    // Releases the pages at exit; there are none in pass-through mode.
    static void ReleasePages();

    static MemoryAllocator& Get() { return s_instance; }

    // The counting that every allocation and release goes through (n elements of `size` bytes).
    static void CountAllocation(size_t n, size_t size)
    {
        MemoryAllocator& m = s_instance;
        const auto bytes = static_cast<uint32_t>(n * size);
        m.allocations += 1;
        m.liveElements += static_cast<uint32_t>(n);
        m.liveBytes += bytes;
        m.bytesEver += bytes;
    }
    static void CountRelease(size_t n, size_t size)
    {
        MemoryAllocator& m = s_instance;
        m.frees += 1;
        m.liveElements -= static_cast<uint32_t>(n);
        m.liveBytes -= static_cast<uint32_t>(n * size);
    }

    // Raw blocks counted with one-byte elements (the application's Allocate / Deallocate).
    static void* AllocateBytes(size_t bytes);
    static void DeallocateBytes(void* block, size_t bytes);

    MemoryAllocatorSettings settings{false, 0, 0};
    // Page-mode sizes; stay 0 in pass-through mode.
    int32_t nodeExponent = 0;
    uint32_t nodesPerPage = 0;
    uint32_t pageSize = 0;
    uint32_t pageCount = 0;
    uint32_t pageBytes = 0;
    // Counters.
    uint32_t allocations = 0;
    uint32_t frees = 0;
    uint32_t liveElements = 0;
    uint32_t liveBytes = 0;
    uint32_t bytesEver = 0;

private:
    static MemoryAllocator s_instance;
};

// The allocator of every engine container and string. It has no state: all instances share the
// process-wide counters and therefore compare equal.
template <class T>
class CountingAllocator {
public:
    using value_type = T;
    using is_always_equal = std::true_type;

    CountingAllocator() noexcept = default;
    template <class U>
    CountingAllocator(const CountingAllocator<U>&) noexcept
    {
    }

    T* allocate(size_t n)
    {
        MemoryAllocator::CountAllocation(n, sizeof(T));
        return std::allocator<T>().allocate(n);
    }

    void deallocate(T* p, size_t n) noexcept
    {
        if (p == nullptr)
            return;
        MemoryAllocator::CountRelease(n, sizeof(T));
        std::allocator<T>().deallocate(p, n);
    }

    template <class U>
    bool operator==(const CountingAllocator<U>&) const noexcept
    {
        return true;
    }
};

// Counted versions of the standard containers, for the engine's own bookkeeping. Interfaces
// to libraries and between systems keep plain std::string.
template <class T>
using CountedVector = std::vector<T, CountingAllocator<T>>;
template <class T>
using CountedDeque = std::deque<T, CountingAllocator<T>>;
template <class K, class V, class Less = std::less<K>>
using CountedMap = std::map<K, V, Less, CountingAllocator<std::pair<const K, V>>>;
using CountedString = std::basic_string<char, std::char_traits<char>, CountingAllocator<char>>;

}  // namespace ztengine
