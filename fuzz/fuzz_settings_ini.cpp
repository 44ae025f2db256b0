// "settings.ini": the graphics options read from the working folder. The system that owns the
// file is made with an application object whose services its file reader never uses.
#include "support/HeadlessApp.h"
#include "FuzzFiles.h"
#include "core/subsys/GameOptionsSystem/GameOptionsSystem.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    ztfuzz::WriteInput(ztfuzz::WorkFolder() / ztengine::GameOptionsSystem::kSettingsFile, data, size);
    zttest::HeadlessApp app;
    ztengine::GameOptionsSystem options(&app);
    options.LoadSettings();
    return 0;
}
