#pragma once
// The application's record of one registered system.
#include <cstddef>
#include <cstdint>
#include <string>
#include <unordered_set>

namespace ztengine {

class Subsystem;

struct SubsystemEntry {
    Subsystem* system = nullptr;
    // 1 once the system has had (or is due at start-up) its Init.
    int32_t initialised = 0;
    // Run-time type name of the system's class, the same text that names its tracker.
    std::string className;
    // Every state index the system is registered to.
    std::unordered_set<uint32_t> states;
    // Size of the system's block, needed to hand the block back to the counting allocator.
    size_t blockSize = 0;
};

}  // namespace ztengine
