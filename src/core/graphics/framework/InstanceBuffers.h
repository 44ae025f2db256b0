#pragma once
// Hardware-instanced batches: many copies of one mesh drawn with one call. The CPU lists are
// kept apart from the GL buffers: a list changes freely during the frame and is uploaded once,
// before the passes, only when it changed.
#include <cstdint>
#include <functional>

#include "core/math/Basis.h"
#include "core/math/Vector2.h"
#include "core/math/Vector3.h"
#include "core/math/Vector4.h"
#include "core/util/memory/MemoryAllocator.h"

namespace ztengine {

// The per-instance vertex data of an instance buffer: attributes 6 to 9 read the four matrix
// columns, attribute 10 the texture offset.
struct GpuInstance {
    float m_matrix[16];  // column-major translation x rotation x uniform scale
    float m_textureOffset[2];
};
static_assert(sizeof(GpuInstance) == 72);

// translation(position) x [right up forward] x scale(s, s, s), written column by column.
GpuInstance MakeGpuInstance(const ztmath::Vector3& position, const ztmath::Basis& basis,
                            float scale, const ztmath::Vector2& textureOffset);

struct InstanceBufferKey {
    uint32_t m_vao = 0;  // the mesh's
    uint32_t m_vbo = 0;
    uint32_t m_vboSize = 0;  // bytes: capacity x 72
    int32_t m_material = 0;
    ztmath::Vector4 m_tint{1.0f, 1.0f, 1.0f, 1.0f};
    uint32_t m_capacity = 0;
    uint32_t m_indexCount = 0;  // the mesh's
    uint8_t m_visible = 1;
};

class InstanceBufferStore {
public:
    // What one upload writes: the first `count` records of the key's list, at offset 0.
    using UploadFunction = std::function<void(uint32_t keyId, const InstanceBufferKey& key,
                                              const GpuInstance* records, uint32_t count)>;

    // Appends the key with an empty list, marked for upload; returns its id.
    uint32_t Add(const InstanceBufferKey& key);
    void Reserve(size_t count);

    uint32_t GetBufferCount() const { return static_cast<uint32_t>(m_keys.size()); }
    bool IsValid(uint32_t keyId) const { return keyId < m_keys.size(); }

    // False, adding nothing, for an invalid key or a full buffer.
    bool AddInstance(uint32_t keyId, const GpuInstance& instance);
    // Ignored for an invalid key.
    void Clear(uint32_t keyId);
    // 0 for an invalid key.
    uint32_t GetInstanceCount(uint32_t keyId) const;
    uint32_t GetCapacity(int32_t keyId) const;
    // Asserts the key.
    void SetTint(uint32_t keyId, const ztmath::Vector4& tint);
    // Ignored for an invalid key; a hidden buffer keeps its instances.
    void SetHidden(uint32_t keyId, bool hidden);

    // For every changed key with at least one instance, in key order: upload(id, key, records,
    // min(count, capacity)). Every change mark is cleared afterwards.
    void UploadChanged(const UploadFunction& upload);

    const InstanceBufferKey& GetKey(uint32_t keyId) const;
    const CountedVector<GpuInstance>& GetInstances(uint32_t keyId) const;
    bool IsDirty(uint32_t keyId) const;

private:
    CountedVector<InstanceBufferKey> m_keys;
    CountedVector<CountedVector<GpuInstance>> m_instanceBuffers;
    CountedVector<uint8_t> m_dirty;
};

}  // namespace ztengine
