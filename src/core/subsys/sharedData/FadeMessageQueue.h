#pragma once
// "FadeMessageQueue": the requests carried out when a fade completes (teleport the player, send
// an event later), oldest first.
#include <array>
#include <cstdint>
#include <string>

#include "core/math/Vector3.h"
#include "core/util/memory/MemoryAllocator.h"

namespace ztengine {

enum class FadeMessageType : int32_t {
    Teleport = 0,   // data: the player's target position
    None = 1,       // no data; only sets the destination state
    SendEvent = 2,  // data: the event id, 0, 0
};

// The data block is held by value: a queued message owns nothing on the heap, so copying it,
// handling it or dropping it at exit can neither leak nor free twice.
struct FadeMessage {
    std::array<uint32_t, 3> m_data{};
    FadeMessageType m_type = FadeMessageType::None;
    std::string m_destState;

    ztmath::Vector3 Position() const;
    uint32_t EventId() const { return m_data[0]; }
};

struct FadeMessageQueue {
    void PushTeleport(const ztmath::Vector3& position, std::string destState);
    void PushEvent(uint32_t eventId, std::string destState);

    CountedDeque<FadeMessage> m_messages;
};

}  // namespace ztengine
