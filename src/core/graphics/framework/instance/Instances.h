#pragma once
// Drawn object instances: the transform a caller gives, the record the renderer keeps per
// instance, the per-model pool that holds them and the handle a caller keeps.
#include <cstdint>
#include <functional>
#include <set>

#include "core/math/Basis.h"
#include "core/math/Matrix4x4.h"
#include "core/math/Vector2.h"
#include "core/math/Vector3.h"
#include "core/math/Vector4.h"
#include "core/util/memory/MemoryAllocator.h"

namespace ztengine {

struct InstanceTransform {
    ztmath::Vector3 m_position;
    ztmath::Vector3 m_scale{1.0f, 1.0f, 1.0f};
    ztmath::Basis m_basis;

    void SetBasis(const ztmath::Basis& basis) { m_basis = basis; }
    // translation(position) x [right up forward] x scale: the model matrix the passes draw with.
    ztmath::Matrix4x4 ToMatrix() const;
};

struct InstanceData {
    // Bit of m_flags: the instance is left out of the screen effects.
    static constexpr uint8_t kEffectsOff = 1;
    // Bit of m_flags: the diffuse picture's near-black texels are left out, as its transparent
    // part. For pictures kept without alpha (JPEG) that are painted on black, such as the
    // portals' swirls.
    static constexpr uint8_t kCutOutBlack = 2;
    // The brightest channel below which such a texel is left out.
    static constexpr float kCutOutBlackLevel = 0.05f;

    InstanceData() = default;
    explicit InstanceData(const InstanceTransform& transform) : m_transform(transform) {}

    InstanceTransform m_transform;
    // Colour and strength handed to the geometry program; strength 0 leaves the colour alone.
    ztmath::Vector4 m_tint;
    // The pose written by the skinning step, one matrix per bone.
    CountedVector<ztmath::Matrix4x4> m_boneMatrices;
    uint8_t m_castShadow = 1;
    // Texture-coordinate multiplier.
    ztmath::Vector2 m_tiling{1.0f, 1.0f};
    uint8_t m_flags = 0;
    // Hidden instances are skipped by skinning, the shadow map and the geometry pass.
    uint8_t m_hidden = 0;
    // Stored from the scene files; no pass reads it.
    uint8_t m_fakeLighting = 0;
    // Only animated instances are skinned.
    uint8_t m_animated = 0;
    // Phase of the clip, 0 at its start and 1 at its end.
    float m_animationTime = 0.0f;
    // Which animation of the mesh's set plays.
    int32_t m_animationIndex = 0;
};

// The instances of one model seen by one render context. Slots are never erased, so indices and
// the pool itself stay valid; a freed slot is reused, oldest freed first.
struct InstancePool {
    // Returns the index of a slot holding a fresh record with this transform.
    uint32_t Add(const InstanceTransform& transform);
    // Frees an index in use; the slot's data stays until it is reused. False when the index was
    // not in use.
    bool Remove(uint32_t index);

    CountedVector<InstanceData> m_instances;
    CountedDeque<uint32_t> m_freeIndices;
    // Ascending: the passes walk instances in this order.
    std::set<uint32_t, std::less<uint32_t>, CountingAllocator<uint32_t>> m_usedIndices;
};

// What a caller keeps of one drawn instance. Every accessor asserts that the handle names a
// pool (an empty handle stops the program).
struct InstanceHandle {
    InstanceData& GetInstance() const;
    const InstanceData& GetInstanceConst() const;

    void SetHidden(bool hidden) const;
    void SetTiling(const ztmath::Vector2& tiling) const;
    ztmath::Vector2 GetTiling() const;
    // true leaves the instance out of the screen effects, false takes it back in.
    void SetEffectsOff(bool off) const;
    void SetFakeLighting(bool enabled) const;
    void SetAnimated(bool animated) const;
    void SetAnimationTime(float phase) const;
    float GetAnimationTime() const;
    void SetAnimationIndex(int32_t index) const;
    int32_t GetAnimationIndex() const;
    void SetTint(const ztmath::Vector4& tint) const;

    int32_t m_modelId = -1;
    int32_t m_poolIndex = -1;
    int32_t m_renderContext = -1;
    InstancePool* m_batchPool = nullptr;
};

}  // namespace ztengine
