#pragma once
// Key-frame transform sequences with hold and blend times: the player behind the camera paths
// of the menus and cinematics.
#include <cstdint>
#include <functional>
#include <string_view>

#include "core/math/Quaternion.h"
#include "core/math/Vector3.h"
#include "core/util/memory/MemoryAllocator.h"

namespace ztengine {

// One key of a sequence: rest on it for holdTime seconds, then move towards the next key
// during blendTime seconds.
struct AnimationTransform {
    ztmath::Quaternion rotation;
    ztmath::Vector3 position;
    ztmath::Vector3 scale{1.0f, 1.0f, 1.0f};
    float holdTime = 0.0f;
    float blendTime = 0.0f;
};

struct AnimationSequence {
    CountedVector<AnimationTransform> m_Transforms;
    uint32_t m_currentIndex = 0;
    uint32_t m_nextIndex = 1;
    bool m_loop = false;
    CountedString m_name;
};

class AnimationSet {
public:
    // The name the single-sequence calls work on.
    static constexpr const char* kAutoSequence = "AUTO";

    AnimationSet() = default;
    // A copy plays its own sequences: the current and queued ones are looked up again by name.
    AnimationSet(const AnimationSet& other);
    AnimationSet& operator=(const AnimationSet& other);
    // Moving keeps the map's nodes, so the pointers stay valid.
    AnimationSet(AnimationSet&&) = default;
    AnimationSet& operator=(AnimationSet&&) = default;

    // Creates the sequence "AUTO", or empties it when it exists, with the given loop flag.
    void CreateSequence(bool loop);
    // Appends a key to "AUTO"; nothing when it does not exist.
    void AddTransform(const AnimationTransform& key);
    // Starts "AUTO" from its first key (see Play(name)).
    void Play();

    // The same three for a sequence of any name.
    void AddSequence(std::string_view name, bool loop);
    void AddTransform(std::string_view name, const AnimationTransform& key);
    // Starts the named sequence at key 0 and makes it loop, whatever loop flag it was created
    // with (the menu and intro paths rely on that). Without such a sequence nothing plays and
    // the source becomes the identity.
    void Play(std::string_view name);

    // Makes the named sequence follow once the key being blended from has run out. False when
    // there is no such sequence.
    bool QueueSequence(std::string_view name);

    // Rewinds the current sequence to key 0 with no time spent.
    void Restart();
    // Advances the time by dt seconds, at most one key per call. Does nothing while paused,
    // without a current sequence or while resting on the last key of a non-looping sequence.
    void Update(float dt);
    // The transform at the current time. A long frame can leave the time past the end of the
    // blend; the blend then simply arrives at the target.
    void GetTransform(ztmath::Vector3& scale, ztmath::Quaternion& rotation,
                      ztmath::Vector3& position) const;

    const AnimationSequence* FindSequence(std::string_view name) const;
    // The key being moved towards, or null when resting.
    const AnimationTransform* GetTarget() const;

    // Read directly by the cinematics: the current sequence (its m_currentIndex is the key in
    // play), the key being held or blended from, and the seconds spent on it.
    AnimationSequence* m_CurrentAnimationSequence = nullptr;
    AnimationSequence* m_queuedSequence = nullptr;
    AnimationTransform m_source;
    float m_time = 0.0f;
    // A path is built paused; its owner clears this once it should start moving.
    bool m_paused = true;

private:
    AnimationSequence* Find(std::string_view name);
    void BeginSequence(AnimationSequence& sequence);

    CountedMap<CountedString, AnimationSequence, std::less<>> m_sequences;
    // Index of the target key in the current sequence, -1 for none. Kept as an index rather than
    // a pointer so that keys appended while a sequence plays cannot leave it dangling.
    int32_t m_targetIndex = -1;
};

}  // namespace ztengine
