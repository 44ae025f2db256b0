#pragma once
// What the resource editors share: showing and hiding their windows, cursor and previews when
// their state is entered or left, and placing, turning and zooming a preview in front of the
// camera. Every preview call skips a handle that names no instance yet (its job has not run).
#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>
#include <vector>

#include "core/graphics/framework/MeshBounds.h"
#include "core/graphics/framework/instance/Instances.h"
#include "core/math/Basis.h"

namespace ztengine {

class App;
class Graphics3D;
class GuiManager;

// How far in front of the camera a selected preview floats.
constexpr float kEditorPreviewDistance = 2.0f;
// Added to an editor's turn angle once per update, not scaled by the frame time.
constexpr float kEditorTurnStep = 0.01f;
constexpr float kEditorZoomInFactor = 2.0f;
constexpr float kEditorZoomOutFactor = 0.5f;

// True once a preview job (or a create button) has made the instance behind the handle.
bool HasEditorPreview(const InstanceHandle& preview);
// Sets or clears the preview's hidden flag; ignored for an empty handle.
void SetEditorPreviewHidden(const InstanceHandle& preview, bool hidden);
// Hidden flag on every preview of the list.
void HideEditorPreviews(std::span<const InstanceHandle> previews);

// Visible flag of each window (indices from CreateWindow); unknown indices are ignored, so an
// editor entered before its Init made the windows changes nothing.
void SetEditorWindowsVisible(GuiManager& gui, std::initializer_list<int> windows, bool visible);

// The system cursor on, the custom pointer sprite shown ("SHOW_CUSTOM_CURSOR") and the debug GUI
// switched on, or the cursor handed back ("HIDE_CUSTOM_CURSOR", the GUI left as it is for the
// next state to set). Every editor state does this, whatever state it was entered from. An
// event name the game did not register is skipped.
void ShowEditorCursor(App& app);
void HideEditorCursor(App& app);

// Entering an editor state: the windows shown, the preview of the selection (null when there is
// none to show) un-hidden, then the cursor shown.
void EnterEditorState(App& app, GuiManager& gui, std::initializer_list<int> windows,
                      const InstanceHandle* selectedPreview);
// Leaving it, whatever the next state: every preview hidden, the windows hidden, then the
// cursor handed back to the game.
void LeaveEditorState(App& app, GuiManager& gui, std::initializer_list<int> windows,
                      std::span<const InstanceHandle> previews);

// The camera position plus kEditorPreviewDistance times the camera's forward vector, from the
// current render context.
ztmath::Vector3 EditorPreviewPosition(Graphics3D& graphics);
// Moves the preview to EditorPreviewPosition; ignored for an empty handle.
void PlaceEditorPreview(Graphics3D& graphics, const InstanceHandle& preview);

// The angle plus kEditorTurnStep, held within [0, 2 pi) so that hours in the editor keep the
// float's precision; the orientation it gives is the same as the unbounded sum's.
float AdvanceEditorTurn(float angle);
// forward (sin a, 0, cos a), up (0, 1, 0), right (cos a, 0, -sin a).
ztmath::Basis EditorTurnBasis(float angle);
// Sets the preview's orientation to EditorTurnBasis(angle); position and scale stay.
void TurnEditorPreview(const InstanceHandle& preview, float angle);

// Multiplies the preview's x, y and z scale; ignored for an empty handle.
void ScaleEditorPreview(const InstanceHandle& preview, float factor);

// Framing (mesh and model editors): the preview is placed so that the middle of its bounds lies
// in front of the camera at a distance where the whole object fits the view, whatever its size
// (a dungeon-sized mesh or a character alike). Zooming multiplies that distance, so each step
// moves by the same share of the way at any size.
constexpr float kEditorZoomInStep = 0.8f;
constexpr float kEditorZoomOutStep = 1.25f;
// The share of the view's half-height the object's bounding sphere fills (90 degree view).
constexpr float kEditorFramingFill = 0.5f;
// Never closer than this, so a flat or empty mesh is not cut by the near plane.
constexpr float kEditorMinimumDistance = 0.3f;
// The zoom after one step in (true) or out, held within [1/1000, 1000].
float StepEditorZoom(float zoom, bool in);
// The bounds of the preview's mesh in its own space; all zero for an empty handle or a model
// without a mesh.
MeshBounds EditorPreviewBounds(Graphics3D& graphics, const InstanceHandle& preview);
// The distance from the camera to the middle of the bounds at which they fit the view with a
// margin, for the preview's scale.
float EditorFramingDistance(const MeshBounds& bounds, const ztmath::Vector3& scale);
// Moves the preview so that the middle of its bounds (turned and scaled as the preview is) lies
// `distance` along the camera's forward vector; ignored for an empty handle.
void FrameEditorPreview(Graphics3D& graphics, const InstanceHandle& preview, float distance);
// The framing distance times the zoom, both for the preview as it is now.
float EditorViewDistance(Graphics3D& graphics, const InstanceHandle& preview, float zoom);

// Copies text into a fixed, zero-terminated field of `size` bytes, cutting what does not fit.
void CopyToField(char* field, size_t size, const std::string& text);

// The index of the first entry equal to `name` (exact, case-sensitive), or -1.
int32_t FindName(const std::vector<std::string>& names, const std::string& name);

}  // namespace ztengine
