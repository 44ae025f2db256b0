// "lightSettings.config": the sun and shadow settings read from the working folder, then
// written back. The system that owns the file is made with an application object whose
// services its file reader never uses.
#include "support/HeadlessApp.h"
#include "FuzzFiles.h"
#include "core/subsys/GameShadowSystem/GameShadowSystem.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    ztfuzz::WriteInput(ztfuzz::WorkFolder() / ztengine::GameShadowSystem::kSettingsFile, data, size);
    zttest::HeadlessApp app;
    ztengine::GameShadowSystem shadows(&app);
    shadows.LoadSettings();
    shadows.SaveSettings();
    return 0;
}
