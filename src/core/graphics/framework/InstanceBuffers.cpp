// Instance-buffer records: the per-instance matrix, the fixed-capacity lists and their change marks.
#include "core/graphics/framework/InstanceBuffers.h"

#include <algorithm>

#include "core/util/assert/AppAssert.h"

namespace ztengine {

GpuInstance MakeGpuInstance(const ztmath::Vector3& position, const ztmath::Basis& basis,
                            float scale, const ztmath::Vector2& textureOffset)
{
    const ztmath::Vector3 columns[3] = {basis.right * scale, basis.up * scale, basis.forward * scale};
    GpuInstance instance;
    for (int c = 0; c < 3; ++c) {
        instance.m_matrix[4 * c + 0] = columns[c].x;
        instance.m_matrix[4 * c + 1] = columns[c].y;
        instance.m_matrix[4 * c + 2] = columns[c].z;
        instance.m_matrix[4 * c + 3] = 0.0f;
    }
    instance.m_matrix[12] = position.x;
    instance.m_matrix[13] = position.y;
    instance.m_matrix[14] = position.z;
    instance.m_matrix[15] = 1.0f;
    instance.m_textureOffset[0] = textureOffset.x;
    instance.m_textureOffset[1] = textureOffset.y;
    return instance;
}

uint32_t InstanceBufferStore::Add(const InstanceBufferKey& key)
{
    m_keys.push_back(key);
    m_instanceBuffers.emplace_back();
    m_instanceBuffers.back().reserve(key.m_capacity);
    m_dirty.push_back(1);
    return static_cast<uint32_t>(m_keys.size() - 1);
}

void InstanceBufferStore::Reserve(size_t count)
{
    m_keys.reserve(count);
    m_instanceBuffers.reserve(count);
    m_dirty.reserve(count);
}

bool InstanceBufferStore::AddInstance(uint32_t keyId, const GpuInstance& instance)
{
    if (!IsValid(keyId))
        return false;
    CountedVector<GpuInstance>& list = m_instanceBuffers[keyId];
    if (list.size() >= m_keys[keyId].m_capacity)
        return false;
    list.push_back(instance);
    m_dirty[keyId] = 1;
    return true;
}

void InstanceBufferStore::Clear(uint32_t keyId)
{
    if (!IsValid(keyId))
        return;
    m_instanceBuffers[keyId].clear();
    m_dirty[keyId] = 1;
}

uint32_t InstanceBufferStore::GetInstanceCount(uint32_t keyId) const
{
    return IsValid(keyId) ? static_cast<uint32_t>(m_instanceBuffers[keyId].size()) : 0u;
}

uint32_t InstanceBufferStore::GetCapacity(int32_t keyId) const
{
    if (keyId < 0 || !IsValid(static_cast<uint32_t>(keyId)))
        return 0;
    return m_keys[static_cast<size_t>(keyId)].m_capacity;
}

void InstanceBufferStore::SetTint(uint32_t keyId, const ztmath::Vector4& tint)
{
    assert(keyId < m_instanceBuffers.size());
    m_keys[keyId].m_tint = tint;
}

void InstanceBufferStore::SetHidden(uint32_t keyId, bool hidden)
{
    if (!IsValid(keyId))
        return;
    m_keys[keyId].m_visible = hidden ? 0 : 1;
}

void InstanceBufferStore::UploadChanged(const UploadFunction& upload)
{
    for (size_t i = 0; i < m_keys.size(); ++i) {
        if (m_dirty[i] == 0)
            continue;
        const CountedVector<GpuInstance>& list = m_instanceBuffers[i];
        if (!list.empty()) {
            const size_t count = std::min<size_t>(list.size(), m_keys[i].m_capacity);
            upload(static_cast<uint32_t>(i), m_keys[i], list.data(), static_cast<uint32_t>(count));
        }
        m_dirty[i] = 0;
    }
}

const InstanceBufferKey& InstanceBufferStore::GetKey(uint32_t keyId) const
{
    assert(keyId < m_keys.size());
    return m_keys[keyId];
}

const CountedVector<GpuInstance>& InstanceBufferStore::GetInstances(uint32_t keyId) const
{
    assert(keyId < m_instanceBuffers.size());
    return m_instanceBuffers[keyId];
}

bool InstanceBufferStore::IsDirty(uint32_t keyId) const
{
    assert(keyId < m_dirty.size());
    return m_dirty[keyId] != 0;
}

}  // namespace ztengine
