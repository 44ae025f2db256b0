#include "core/subsys/Editors/EditorCommon.h"

#include <cmath>
#include <cstring>

#include "core/App.h"
#include "core/graphics/framework/Graphics3D.h"
#include "core/gui/GuiManager.h"
#include "core/input/Input.h"

namespace ztengine {

namespace {

constexpr float kTwoPi = 6.28318530717958647692f;

}  // namespace

bool HasEditorPreview(const InstanceHandle& preview)
{
    return preview.m_batchPool != nullptr;
}

void SetEditorPreviewHidden(const InstanceHandle& preview, bool hidden)
{
    if (HasEditorPreview(preview)) {
        preview.SetHidden(hidden);
    }
}

void HideEditorPreviews(std::span<const InstanceHandle> previews)
{
    for (const InstanceHandle& preview : previews) {
        SetEditorPreviewHidden(preview, true);
    }
}

void SetEditorWindowsVisible(GuiManager& gui, std::initializer_list<int> windows, bool visible)
{
    for (int window : windows) {
        if (GuiWindow* guiWindow = gui.GetGuiWindow(window)) {
            guiWindow->visible = visible;
        }
    }
}

void ShowEditorCursor(App& app)
{
    if (Input* input = app.GetInput()) {
        input->SetCursorEnabled(true);
    }
    app.m_messagingSystem.SendEventByName("SHOW_CUSTOM_CURSOR", IEvent());
}

void HideEditorCursor(App& app)
{
    if (Input* input = app.GetInput()) {
        input->SetCursorEnabled(false);
    }
    app.m_messagingSystem.SendEventByName("HIDE_CUSTOM_CURSOR", IEvent());
}

void EnterEditorState(App& app, GuiManager& gui, std::initializer_list<int> windows,
                      const InstanceHandle* selectedPreview)
{
    SetEditorWindowsVisible(gui, windows, true);
    if (selectedPreview != nullptr) {
        SetEditorPreviewHidden(*selectedPreview, false);
    }
    ShowEditorCursor(app);
}

void LeaveEditorState(App& app, GuiManager& gui, std::initializer_list<int> windows,
                      std::span<const InstanceHandle> previews)
{
    HideEditorPreviews(previews);
    SetEditorWindowsVisible(gui, windows, false);
    HideEditorCursor(app);
}

ztmath::Vector3 EditorPreviewPosition(Graphics3D& graphics)
{
    return graphics.GetCameraPosition() +
           graphics.GetCameraBasis().forward * kEditorPreviewDistance;
}

void PlaceEditorPreview(Graphics3D& graphics, const InstanceHandle& preview)
{
    if (HasEditorPreview(preview)) {
        preview.GetInstance().m_transform.m_position = EditorPreviewPosition(graphics);
    }
}

float AdvanceEditorTurn(float angle)
{
    angle += kEditorTurnStep;
    if (angle >= kTwoPi) {
        angle -= kTwoPi;
    }
    return angle;
}

ztmath::Basis EditorTurnBasis(float angle)
{
    ztmath::Basis basis;
    basis.forward = ztmath::Vector3(std::sin(angle), 0.0f, std::cos(angle));
    basis.up = ztmath::Vector3(0.0f, 1.0f, 0.0f);
    basis.right = ztmath::Vector3(std::cos(angle), 0.0f, -std::sin(angle));
    return basis;
}

void TurnEditorPreview(const InstanceHandle& preview, float angle)
{
    if (HasEditorPreview(preview)) {
        preview.GetInstance().m_transform.SetBasis(EditorTurnBasis(angle));
    }
}

void ScaleEditorPreview(const InstanceHandle& preview, float factor)
{
    if (HasEditorPreview(preview)) {
        ztmath::Vector3& scale = preview.GetInstance().m_transform.m_scale;
        scale = ztmath::Vector3(scale.x * factor, scale.y * factor, scale.z * factor);
    }
}

void CopyToField(char* field, size_t size, const std::string& text)
{
    if (size == 0) {
        return;
    }
    const size_t length = text.size() < size - 1 ? text.size() : size - 1;
    std::memcpy(field, text.data(), length);
    std::memset(field + length, 0, size - length);
}

int32_t FindName(const std::vector<std::string>& names, const std::string& name)
{
    for (size_t i = 0; i < names.size(); ++i) {
        if (names[i] == name) {
            return static_cast<int32_t>(i);
        }
    }
    return -1;
}

}  // namespace ztengine
