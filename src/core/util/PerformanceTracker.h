#pragma once
// A named set of timed parts for one system. The engine files one per registered system, under
// the state that was current at registration, with a part for each of the system's operations;
// nothing times or reads the parts yet.
#include <cstdint>
#include <string>
#include <unordered_map>
#include <utility>

namespace ztengine {

class PerformanceTracker {
public:
    struct Part {
        std::string name;
        int32_t value = 0;
    };

    explicit PerformanceTracker(std::string name) : m_name(std::move(name)) {}

    // A part id may be added once; a second add of the same id is a programming error.
    void AddPart(int partid, const std::string& name);

    const std::string& GetName() const { return m_name; }

    std::string m_name;
    std::unordered_map<int, Part> m_TrackedParts;
};

}  // namespace ztengine
