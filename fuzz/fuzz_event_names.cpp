// "EventNames.txt": the event names read at start-up, then looked up as the systems do.
#include "FuzzFiles.h"
#include "core/MessagingSystem.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::filesystem::path path = ztfuzz::WorkFolder() / "EventNames.txt";
    ztfuzz::WriteInput(path, data, size);
    ztengine::MessagingSystem messaging;
    messaging.LoadEventNames(path.c_str());
    const uint32_t id = messaging.GetEventId("ENTER_OVERWORLD");
    if (id != ztengine::MessagingSystem::kInvalidEventId)
        messaging.SendEvent(id, ztengine::IEvent{});
    return 0;
}
