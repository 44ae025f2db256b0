#include "core/subsys/sharedData/FadeMessageQueue.h"

#include <cstring>
#include <utility>

namespace ztengine {

static_assert(sizeof(FadeMessage::m_data) == 3 * sizeof(float), "a fade message holds 12 bytes");

ztmath::Vector3 FadeMessage::Position() const
{
    float xyz[3];
    std::memcpy(xyz, m_data.data(), sizeof(xyz));
    return {xyz[0], xyz[1], xyz[2]};
}

void FadeMessageQueue::PushTeleport(const ztmath::Vector3& position, std::string destState)
{
    FadeMessage message;
    const float xyz[3] = {position.x, position.y, position.z};
    std::memcpy(message.m_data.data(), xyz, sizeof(xyz));
    message.m_type = FadeMessageType::Teleport;
    message.m_destState = std::move(destState);
    m_messages.push_back(std::move(message));
}

void FadeMessageQueue::PushEvent(uint32_t eventId, std::string destState)
{
    FadeMessage message;
    message.m_data = {eventId, 0, 0};
    message.m_type = FadeMessageType::SendEvent;
    message.m_destState = std::move(destState);
    m_messages.push_back(std::move(message));
}

}  // namespace ztengine
