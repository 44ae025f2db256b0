#pragma once
// GameShadowSystem: places the shadow-casting sun. It keeps an overworld and a dungeon set of sun
// and shadow-projection values from "lightSettings.config", switches between them on
// "ENTER_OVERWORLD" and "EXIT_OVERWORLD", and every frame of the play states hands the sun
// position, the shadow projection and the light direction to the renderer. Its window edits,
// saves and reloads the sets and can show the shadow map on screen.
#include <cstdint>

#include "core/Subsystem.h"
#include "core/graphics/Graphics2D.h"
#include "core/math/Vector3.h"

namespace ztengine {

class MessagingSystem;

// The unit direction (0, -1, 0) turned by Euler angles in degrees: about X first, then Y, then Z.
ztmath::Vector3 ShadowLightDirection(const ztmath::Vector3& eulerDegrees);

// One place's sun and shadow projection.
struct ShadowSettings {
    // Overworld: the point the sun is placed from. Dungeons: kept and saved only, since there the
    // sun follows the camera.
    ztmath::Vector3 sunPosition;
    ztmath::Vector3 lightEuler;  // degrees about X, Y, Z
    int32_t projectionWidth = 0;
    int32_t projectionHeight = 0;
    float projectionNear = 0.0f;
    float projectionFar = 0.0f;
    // How far the sun stands back from its base point, against the light direction.
    float distance = 0.0f;
};

// Reads the settings file at `path`: both places back to their defaults and the shadow flag on,
// then every key that is present and of the right type. Each problem is printed in one line
// naming the file.
void ReadShadowSettings(const char* path, ShadowSettings& overworld, ShadowSettings& dungeon,
                        bool& enableShadow);
// Replaces the file at `path` with both places and the shadow flag. False when it could not be
// written.
bool WriteShadowSettings(const char* path, const ShadowSettings& overworld,
                         const ShadowSettings& dungeon, bool enableShadow);

class GameShadowSystem : public Subsystem {
public:
    static constexpr const char* kSettingsFile = "lightSettings.config";

    explicit GameShadowSystem(App* app);

    // Loads the sets, subscribes to the overworld events, makes the shadow-map preview and the
    // window, starts in the overworld and hands the renderer its first sun at once.
    void Init() override;
    // The sun of the set in force; dt is not used.
    void Update(float dt) override;

    // Both sets back to the defaults, then every key of "lightSettings.config" that is present
    // and of the right type.
    void LoadSettings();
    // Writes both sets and the shadow flag; the values in memory never change.
    void SaveSettings();

    // Edited in place by the window; the next Update uses them.
    ShadowSettings m_overworld;
    ShadowSettings m_dungeon;
    // Read and written back; nothing else uses it (the renderer's shadow switch is left alone).
    bool m_enableShadow = true;
    bool m_isOverworld = false;
    bool m_showShadowMap = false;
    SpriteHandle m_previewSprite;
    int32_t m_window = -1;  // the "In Game Shadow Settings" window of the debug GUI

private:
    MessagingSystem* m_messaging;
};

}  // namespace ztengine
