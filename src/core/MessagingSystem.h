#pragma once
// MessagingSystem: named events delivered at once, on the sender's thread, to every handler
// registered for the name. The set of names is fixed at start-up from "EventNames.txt".
#include <cstdint>
#include <functional>
#include <string_view>

#include "core/util/cont/StableArrayList.h"
#include "core/util/memory/MemoryAllocator.h"

namespace ztengine {

// What a send hands to every handler. The data points into the sender's memory and is valid
// only during the send.
class IEvent {
public:
    IEvent() = default;
    IEvent(int32_t tag, const void* data) : m_tag(tag), m_data(data) {}

    int32_t m_tag = 0;
    const void* m_data = nullptr;
};

using EventCallback = std::function<void(const IEvent&)>;

struct EventHandler {
    EventCallback m_callback;
    // A send skips a handler whose word is 0.
    uint16_t m_active = 0xFFFF;
};

// The handlers of one event, in registration order.
using EventPipeline = StableArrayList<EventHandler>;

class MessagingSystem {
public:
    static constexpr uint32_t kInvalidEventId = 0xFFFFFFFFu;

    virtual ~MessagingSystem() = default;

    // Reads the event names of the file (one per line, the text before the first blank), prints
    // "Loaded event name: <name>" for each, then registers them in file order.
    virtual void LoadEventNames(const char* fileName);

    // The id of the name; a name already known keeps its first id.
    uint32_t RegisterEvent(const char* name);
    // kInvalidEventId for a name that was never registered.
    uint32_t GetEventId(const char* name) const;
    // Subscribes for the whole run. A name that was never registered is a programming error and
    // stops the program. Returns the handler's index in the event's pipeline.
    uint32_t RegisterHandler(const char* name, EventCallback callback);
    // Calls every active handler of the event before returning; unknown ids are ignored.
    void SendEvent(uint32_t id, const IEvent& event);
    // Unknown names are ignored.
    void SendEventByName(const char* name, const IEvent& event);

    uint32_t EventCount() const { return static_cast<uint32_t>(m_eventPipelines.size()); }

private:
    CountedMap<CountedString, uint32_t, std::less<>> m_eventIds;
    CountedVector<EventPipeline> m_eventPipelines;
};

}  // namespace ztengine
