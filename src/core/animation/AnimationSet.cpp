// Playing transform sequences: starting, advancing key by key, and sampling between keys.
#include "core/animation/AnimationSet.h"

#include "core/util/assert/AppAssert.h"

namespace ztengine {

using ztmath::Quaternion;
using ztmath::Vector3;

AnimationSet::AnimationSet(const AnimationSet& other)
{
    *this = other;
}

AnimationSet& AnimationSet::operator=(const AnimationSet& other)
{
    if (this == &other)
        return *this;
    m_sequences = other.m_sequences;
    m_CurrentAnimationSequence = other.m_CurrentAnimationSequence
        ? Find(other.m_CurrentAnimationSequence->m_name) : nullptr;
    m_queuedSequence = other.m_queuedSequence ? Find(other.m_queuedSequence->m_name) : nullptr;
    m_source = other.m_source;
    m_time = other.m_time;
    m_paused = other.m_paused;
    m_targetIndex = other.m_targetIndex;
    return *this;
}

void AnimationSet::CreateSequence(bool loop)
{
    AddSequence(kAutoSequence, loop);
}

void AnimationSet::AddTransform(const AnimationTransform& key)
{
    AddTransform(kAutoSequence, key);
}

void AnimationSet::Play()
{
    Play(kAutoSequence);
}

void AnimationSet::AddSequence(std::string_view name, bool loop)
{
    AnimationSequence* sequence = Find(name);
    if (sequence == nullptr) {
        const CountedString key(name);
        sequence = &m_sequences[key];
        sequence->m_name = key;
    }
    sequence->m_Transforms.clear();
    sequence->m_loop = loop;
    sequence->m_currentIndex = 0;
    sequence->m_nextIndex = 1;
    // A sequence emptied while it plays has nothing left to move towards.
    if (sequence == m_CurrentAnimationSequence)
        m_targetIndex = -1;
}

void AnimationSet::AddTransform(std::string_view name, const AnimationTransform& key)
{
    if (AnimationSequence* sequence = Find(name))
        sequence->m_Transforms.push_back(key);
}

void AnimationSet::Play(std::string_view name)
{
    AnimationSequence* sequence = Find(name);
    if (sequence == nullptr) {
        m_CurrentAnimationSequence = nullptr;
        m_source = AnimationTransform{};
        m_targetIndex = -1;
        return;
    }
    sequence->m_loop = true;
    BeginSequence(*sequence);
}

bool AnimationSet::QueueSequence(std::string_view name)
{
    AnimationSequence* sequence = Find(name);
    if (sequence == nullptr)
        return false;
    m_queuedSequence = sequence;
    return true;
}

void AnimationSet::Restart()
{
    if (m_CurrentAnimationSequence == nullptr)
        return;
    BeginSequence(*m_CurrentAnimationSequence);
}

void AnimationSet::BeginSequence(AnimationSequence& sequence)
{
    m_CurrentAnimationSequence = &sequence;
    sequence.m_currentIndex = 0;
    sequence.m_nextIndex = 1;
    m_time = 0.0f;
    m_source = sequence.m_Transforms.empty() ? AnimationTransform{} : sequence.m_Transforms[0];
    m_targetIndex = sequence.m_Transforms.size() >= 2 ? 1 : -1;
}

void AnimationSet::Update(float dt)
{
    if (m_CurrentAnimationSequence == nullptr || m_paused || GetTarget() == nullptr)
        return;

    m_time += dt;
    const float keySpan = m_source.holdTime + m_source.blendTime;
    if (m_time <= keySpan)
        return;
    m_time -= keySpan;

    AnimationSequence* sequence = m_CurrentAnimationSequence;
    if (m_queuedSequence != nullptr) {
        sequence = m_CurrentAnimationSequence = m_queuedSequence;
        m_queuedSequence = nullptr;
        sequence->m_currentIndex = 0;
        sequence->m_nextIndex = 1;
        assert(m_CurrentAnimationSequence->m_Transforms.size() != 0);
        m_source = sequence->m_Transforms[0];
        if (sequence->m_Transforms.size() < 2) {
            m_targetIndex = -1;
            m_time = 0.0f;
            return;
        }
    } else {
        sequence->m_currentIndex = sequence->m_nextIndex;
        m_source = sequence->m_Transforms[sequence->m_currentIndex];
        sequence->m_nextIndex += 1;
    }

    const auto count = static_cast<uint32_t>(sequence->m_Transforms.size());
    if (sequence->m_nextIndex < count) {
        m_targetIndex = static_cast<int32_t>(sequence->m_nextIndex);
    } else if (sequence->m_loop) {
        sequence->m_nextIndex = 0;
        m_targetIndex = 0;
    } else {
        // Rest on the last key.
        sequence->m_nextIndex = count - 1;
        m_targetIndex = -1;
    }
}

void AnimationSet::GetTransform(Vector3& scale, Quaternion& rotation, Vector3& position) const
{
    if (m_CurrentAnimationSequence == nullptr) {
        scale = Vector3(1.0f, 1.0f, 1.0f);
        rotation = Quaternion(0.0f, 0.0f, 0.0f, 0.0f);
        position = Vector3(0.0f, 0.0f, 0.0f);
        return;
    }

    const AnimationTransform* target = GetTarget();
    if (target == nullptr || !(m_time > m_source.holdTime)) {
        scale = m_source.scale;
        rotation = m_source.rotation;
        position = m_source.position;
        return;
    }

    // Past the end of the blend (a long frame, or a zero blend time) the target is reached;
    // the interpolation must never be asked for more than the whole way.
    float a = (m_time - m_source.holdTime) / m_source.blendTime;
    if (!(a < 1.0f))
        a = 1.0f;
    if (a < 0.0f)
        a = 0.0f;
    scale = m_source.scale + (target->scale - m_source.scale) * a;
    position = m_source.position + (target->position - m_source.position) * a;
    rotation = Quaternion::Slerp(m_source.rotation, a, target->rotation);
}

const AnimationSequence* AnimationSet::FindSequence(std::string_view name) const
{
    auto it = m_sequences.find(name);
    return it == m_sequences.end() ? nullptr : &it->second;
}

AnimationSequence* AnimationSet::Find(std::string_view name)
{
    auto it = m_sequences.find(name);
    return it == m_sequences.end() ? nullptr : &it->second;
}

const AnimationTransform* AnimationSet::GetTarget() const
{
    if (m_CurrentAnimationSequence == nullptr || m_targetIndex < 0)
        return nullptr;
    const auto& keys = m_CurrentAnimationSequence->m_Transforms;
    const auto index = static_cast<size_t>(m_targetIndex);
    return index < keys.size() ? &keys[index] : nullptr;
}

}  // namespace ztengine
