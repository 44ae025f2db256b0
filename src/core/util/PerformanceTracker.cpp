#include "core/util/PerformanceTracker.h"

#include "core/util/assert/AppAssert.h"

namespace ztengine {

void PerformanceTracker::AddPart(int partid, const std::string& name)
{
    assert(m_TrackedParts.find(partid) == m_TrackedParts.end());
    m_TrackedParts.emplace(partid, Part{name, 0});
}

}  // namespace ztengine
