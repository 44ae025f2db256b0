#include "core/subsys/Editors/EditorCommon.h"

#include <cmath>
#include <cstring>

#include "core/App.h"
#include "core/graphics/framework/Graphics3D.h"
#include "core/gui/Gui.h"
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
    // The menus switch the debug GUI off; an editor is nothing but its panels, so whatever
    // state it was entered from, the panels take the mouse again.
    Gui::Instance().SetEnabled(true);
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

float StepEditorZoom(float zoom, bool in)
{
    const float stepped = zoom * (in ? kEditorZoomInStep : kEditorZoomOutStep);
    return stepped < 0.001f ? 0.001f : (stepped > 1000.0f ? 1000.0f : stepped);
}

MeshBounds EditorPreviewBounds(Graphics3D& graphics, const InstanceHandle& preview)
{
    if (!HasEditorPreview(preview) || preview.m_modelId < 0) {
        return MeshBounds();
    }
    const int32_t mesh = graphics.GetModelMesh(static_cast<uint32_t>(preview.m_modelId));
    if (mesh < 0) {
        return MeshBounds();
    }
    return graphics.GetMeshAABB(static_cast<uint32_t>(mesh));
}

float EditorFramingDistance(const MeshBounds& bounds, const ztmath::Vector3& scale)
{
    const ztmath::Vector3 extents(bounds.m_extents.x * std::fabs(scale.x),
                                  bounds.m_extents.y * std::fabs(scale.y),
                                  bounds.m_extents.z * std::fabs(scale.z));
    // With a 90 degree view the half-height seen at distance d is d itself.
    const float distance = extents.Length() / kEditorFramingFill;
    return std::isfinite(distance) && distance > kEditorMinimumDistance ? distance
                                                                         : kEditorMinimumDistance;
}

void FrameEditorPreview(Graphics3D& graphics, const InstanceHandle& preview, float distance)
{
    if (!HasEditorPreview(preview)) {
        return;
    }
    const MeshBounds bounds = EditorPreviewBounds(graphics, preview);
    InstanceTransform& transform = preview.GetInstance().m_transform;
    const ztmath::Basis& basis = transform.m_basis;
    const ztmath::Vector3 centre = basis.right * (bounds.m_center.x * transform.m_scale.x) +
                                   basis.up * (bounds.m_center.y * transform.m_scale.y) +
                                   basis.forward * (bounds.m_center.z * transform.m_scale.z);
    transform.m_position = graphics.GetCameraPosition() +
                           graphics.GetCameraBasis().forward * distance - centre;
}

float EditorViewDistance(Graphics3D& graphics, const InstanceHandle& preview, float zoom)
{
    if (!HasEditorPreview(preview)) {
        return kEditorMinimumDistance;
    }
    return EditorFramingDistance(EditorPreviewBounds(graphics, preview),
                                 preview.GetInstance().m_transform.m_scale) *
           zoom;
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
