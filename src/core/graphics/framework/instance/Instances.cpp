// Instance pools with their slot reuse, and the accessors of an instance handle.
#include "core/graphics/framework/instance/Instances.h"

#include "core/util/assert/AppAssert.h"

namespace ztengine {

ztmath::Matrix4x4 InstanceTransform::ToMatrix() const
{
    return ztmath::Matrix4x4::FromAxes(m_basis.right * m_scale.x, m_basis.up * m_scale.y,
                                       m_basis.forward * m_scale.z, m_position);
}

uint32_t InstancePool::Add(const InstanceTransform& transform)
{
    uint32_t index;
    if (!m_freeIndices.empty()) {
        index = m_freeIndices.front();
        m_freeIndices.pop_front();
        // A new instance must not inherit the hidden flag, tint, pose or animation of the one
        // that had the slot before.
        m_instances[index] = InstanceData(transform);
    } else {
        index = static_cast<uint32_t>(m_instances.size());
        m_instances.emplace_back(transform);
    }
    m_usedIndices.insert(index);
    return index;
}

bool InstancePool::Remove(uint32_t index)
{
    if (m_usedIndices.erase(index) == 0)
        return false;
    m_freeIndices.push_back(index);
    return true;
}

InstanceData& InstanceHandle::GetInstance() const
{
    assert(m_batchPool);
    assert(static_cast<size_t>(m_poolIndex) < m_batchPool->m_instances.size());
    return m_batchPool->m_instances[static_cast<size_t>(m_poolIndex)];
}

const InstanceData& InstanceHandle::GetInstanceConst() const
{
    return GetInstance();
}

void InstanceHandle::SetHidden(bool hidden) const
{
    GetInstance().m_hidden = hidden ? 1 : 0;
}

void InstanceHandle::SetTiling(const ztmath::Vector2& tiling) const
{
    GetInstance().m_tiling = tiling;
}

ztmath::Vector2 InstanceHandle::GetTiling() const
{
    return GetInstance().m_tiling;
}

void InstanceHandle::SetEffectsOff(bool off) const
{
    InstanceData& data = GetInstance();
    if (off)
        data.m_flags = static_cast<uint8_t>(data.m_flags | InstanceData::kEffectsOff);
    else
        data.m_flags = static_cast<uint8_t>(data.m_flags & ~InstanceData::kEffectsOff);
}

void InstanceHandle::SetFakeLighting(bool enabled) const
{
    GetInstance().m_fakeLighting = enabled ? 1 : 0;
}

void InstanceHandle::SetAnimated(bool animated) const
{
    GetInstance().m_animated = animated ? 1 : 0;
}

void InstanceHandle::SetAnimationTime(float phase) const
{
    GetInstance().m_animationTime = phase;
}

float InstanceHandle::GetAnimationTime() const
{
    return GetInstance().m_animationTime;
}

void InstanceHandle::SetAnimationIndex(int32_t index) const
{
    GetInstance().m_animationIndex = index;
}

int32_t InstanceHandle::GetAnimationIndex() const
{
    return GetInstance().m_animationIndex;
}

void InstanceHandle::SetTint(const ztmath::Vector4& tint) const
{
    GetInstance().m_tint = tint;
}

}  // namespace ztengine
