// The debug GUI's binding of ImGui to the window: per-frame input, the GUI's own input
// callbacks, the font texture and the fixed-function draw of ImGui's lists.
#include "core/gui/Gui.h"

#include <imgui.h>

#include <cfloat>
#include <cstddef>
#include <cstdint>
#include <deque>

namespace ztengine {

namespace {

// Set by the GUI's callbacks during the poll, consumed by the next NewFrame: a click that goes
// down and up between two frames still reaches ImGui as one frame held.
bool g_mousePressed[3] = {false, false, false};
float g_mouseWheel = 0.0f;

// Key changes of the GUI's key callback, applied by the next NewFrame one per key: a Backspace
// pressed and released between two frames is down in one GUI frame and up in the next.
struct GuiKeyChange {
    int key;
    bool down;
};
std::deque<GuiKeyChange> g_keyChanges;

constexpr int kKeyMap[][2] = {
    {ImGuiKey_Tab, GLFW_KEY_TAB},
    {ImGuiKey_LeftArrow, GLFW_KEY_LEFT},
    {ImGuiKey_RightArrow, GLFW_KEY_RIGHT},
    {ImGuiKey_UpArrow, GLFW_KEY_UP},
    {ImGuiKey_DownArrow, GLFW_KEY_DOWN},
    {ImGuiKey_PageUp, GLFW_KEY_PAGE_UP},
    {ImGuiKey_PageDown, GLFW_KEY_PAGE_DOWN},
    {ImGuiKey_Home, GLFW_KEY_HOME},
    {ImGuiKey_End, GLFW_KEY_END},
    {ImGuiKey_Delete, GLFW_KEY_DELETE},
    {ImGuiKey_Backspace, GLFW_KEY_BACKSPACE},
    {ImGuiKey_Enter, GLFW_KEY_ENTER},
    {ImGuiKey_Escape, GLFW_KEY_ESCAPE},
    {ImGuiKey_A, GLFW_KEY_A},
    {ImGuiKey_C, GLFW_KEY_C},
    {ImGuiKey_V, GLFW_KEY_V},
    {ImGuiKey_X, GLFW_KEY_X},
    {ImGuiKey_Y, GLFW_KEY_Y},
    {ImGuiKey_Z, GLFW_KEY_Z},
};

constexpr int kKeysDownSize = static_cast<int>(sizeof(ImGuiIO::KeysDown) / sizeof(bool));

void UpdateModifiers(ImGuiIO& io)
{
    const auto down = [&io](int key) { return key < kKeysDownSize && io.KeysDown[key]; };
    io.KeyCtrl = down(GLFW_KEY_LEFT_CONTROL) || down(GLFW_KEY_RIGHT_CONTROL);
    io.KeyShift = down(GLFW_KEY_LEFT_SHIFT) || down(GLFW_KEY_RIGHT_SHIFT);
    io.KeyAlt = down(GLFW_KEY_LEFT_ALT) || down(GLFW_KEY_RIGHT_ALT);
    io.KeySuper = down(GLFW_KEY_LEFT_SUPER) || down(GLFW_KEY_RIGHT_SUPER);
}

// The first queued change of each key; later ones of the same key wait for the next frame.
void ApplyKeyChanges(ImGuiIO& io)
{
    bool changed[kKeysDownSize] = {};
    std::deque<GuiKeyChange> waiting;
    for (const GuiKeyChange& change : g_keyChanges) {
        if (changed[change.key]) {
            waiting.push_back(change);
            continue;
        }
        io.KeysDown[change.key] = change.down;
        changed[change.key] = true;
    }
    g_keyChanges.swap(waiting);
    UpdateModifiers(io);
}

// The GL state the fixed-function draw depends on and that other passes leave behind: a bound
// buffer turns the client-memory pointers into offsets and the GUI silently draws nothing. It
// is set to what the draw needs and put back afterwards.
class GuiDrawState {
public:
    GuiDrawState()
    {
        glGetIntegerv(GL_CURRENT_PROGRAM, &m_program);
        glGetIntegerv(GL_VERTEX_ARRAY_BINDING, &m_vertexArray);
        glGetIntegerv(GL_ARRAY_BUFFER_BINDING, &m_arrayBuffer);
        glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &m_drawFramebuffer);
        glGetIntegerv(GL_READ_FRAMEBUFFER_BINDING, &m_readFramebuffer);
        glGetIntegerv(GL_ACTIVE_TEXTURE, &m_activeTexture);
        glGetIntegerv(GL_CLIENT_ACTIVE_TEXTURE, &m_clientActiveTexture);
        glGetIntegerv(GL_POLYGON_MODE, m_polygonMode);
        m_srgb = glIsEnabled(GL_FRAMEBUFFER_SRGB);

        glUseProgram(0);
        glBindVertexArray(0);
        glGetIntegerv(GL_ELEMENT_ARRAY_BUFFER_BINDING, &m_elementBuffer);
        glBindBuffer(GL_ARRAY_BUFFER, 0);
        glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        glActiveTexture(GL_TEXTURE0);
        glClientActiveTexture(GL_TEXTURE0);
        glGetIntegerv(GL_SAMPLER_BINDING, &m_sampler);
        glBindSampler(0, 0);
        glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
        glDisable(GL_FRAMEBUFFER_SRGB);
        // Generic attribute 0 aliases the fixed-function vertex position.
        GLint attributes = 0;
        glGetIntegerv(GL_MAX_VERTEX_ATTRIBS, &attributes);
        m_attributeCount = attributes < kMaxAttributes ? attributes : kMaxAttributes;
        for (GLint a = 0; a < m_attributeCount; ++a) {
            GLint enabled = 0;
            glGetVertexAttribiv(static_cast<GLuint>(a), GL_VERTEX_ATTRIB_ARRAY_ENABLED, &enabled);
            m_attributeEnabled[a] = enabled != 0;
            if (enabled)
                glDisableVertexAttribArray(static_cast<GLuint>(a));
        }
    }

    ~GuiDrawState()
    {
        for (GLint a = 0; a < m_attributeCount; ++a)
            if (m_attributeEnabled[a])
                glEnableVertexAttribArray(static_cast<GLuint>(a));
        if (m_srgb)
            glEnable(GL_FRAMEBUFFER_SRGB);
        glPolygonMode(GL_FRONT, static_cast<GLenum>(m_polygonMode[0]));
        glPolygonMode(GL_BACK, static_cast<GLenum>(m_polygonMode[1]));
        glBindSampler(0, static_cast<GLuint>(m_sampler));
        glClientActiveTexture(static_cast<GLenum>(m_clientActiveTexture));
        glActiveTexture(static_cast<GLenum>(m_activeTexture));
        glBindFramebuffer(GL_DRAW_FRAMEBUFFER, static_cast<GLuint>(m_drawFramebuffer));
        glBindFramebuffer(GL_READ_FRAMEBUFFER, static_cast<GLuint>(m_readFramebuffer));
        glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, static_cast<GLuint>(m_elementBuffer));
        glBindVertexArray(static_cast<GLuint>(m_vertexArray));
        glBindBuffer(GL_ARRAY_BUFFER, static_cast<GLuint>(m_arrayBuffer));
        glUseProgram(static_cast<GLuint>(m_program));
    }

    GuiDrawState(const GuiDrawState&) = delete;
    GuiDrawState& operator=(const GuiDrawState&) = delete;

private:
    static constexpr GLint kMaxAttributes = 32;

    GLint m_program = 0;
    GLint m_vertexArray = 0;
    GLint m_arrayBuffer = 0;
    GLint m_elementBuffer = 0;  // of vertex array 0
    GLint m_drawFramebuffer = 0;
    GLint m_readFramebuffer = 0;
    GLint m_activeTexture = GL_TEXTURE0;
    GLint m_clientActiveTexture = GL_TEXTURE0;
    GLint m_sampler = 0;
    GLint m_polygonMode[2] = {GL_FILL, GL_FILL};
    GLboolean m_srgb = GL_FALSE;
    GLint m_attributeCount = 0;
    bool m_attributeEnabled[kMaxAttributes] = {};
};

}  // namespace

Gui& Gui::Instance()
{
    // Deliberately never destroyed: systems may reach the GUI while the program is exiting.
    static Gui* instance = new Gui();
    return *instance;
}

bool Gui::Init(GLFWwindow* window)
{
    SetWindow(window);
    if (ImGui::GetCurrentContext() == nullptr) {
        IMGUI_CHECKVERSION();
        ImGui::CreateContext();
        ImGui::StyleColorsClassic();
        // Opaque panels: the classic style's see-through backgrounds let the text of the
        // windows beneath bleed into the one on top.
        ImVec4* colors = ImGui::GetStyle().Colors;
        for (ImGuiCol col : {ImGuiCol_WindowBg, ImGuiCol_PopupBg,
                             ImGuiCol_TitleBg, ImGuiCol_TitleBgActive, ImGuiCol_TitleBgCollapsed,
                             ImGuiCol_MenuBarBg})
            colors[col].w = 1.0f;
    }
    ImGuiIO& io = ImGui::GetIO();
    for (const auto& entry : kKeyMap)
        io.KeyMap[entry[0]] = entry[1];
    return true;
}

void Gui::SetWindow(GLFWwindow* window)
{
    m_window = window;
    m_manager.m_window = window;
}

void Gui::SetMouseCaptureCallback(std::function<void()> callback)
{
    m_manager.m_mouseCaptureCallback = std::move(callback);
}

void Gui::SetEnabled(bool enabled)
{
    m_enabled = enabled;
    m_manager.SetGuiEnabled(enabled);
    if (!enabled)
        m_manager.RestoreAppCallbacks();
}

void Gui::Reset()
{
    if (ImGui::GetCurrentContext() != nullptr)
        ImGui::DestroyContext();
    m_manager = GuiManager();
    m_window = nullptr;
    m_lastTime = 0.0;
    m_fontTexture = 0;  // belonged to the application's GL context
    m_enabled = true;
    for (bool& pressed : g_mousePressed)
        pressed = false;
    g_mouseWheel = 0.0f;
    g_keyChanges.clear();
}

void Gui::DropQueuedKeys()
{
    g_keyChanges.clear();
}

void Gui::NewFrame()
{
    if (m_fontTexture == 0)
        CreateFontsTexture();
    GuiFrameInput input;
    if (m_window != nullptr) {
        glfwGetWindowSize(m_window, &input.windowWidth, &input.windowHeight);
        glfwGetFramebufferSize(m_window, &input.framebufferWidth, &input.framebufferHeight);
        input.time = glfwGetTime();
        input.focused = glfwGetWindowAttrib(m_window, GLFW_FOCUSED) != 0;
        glfwGetCursorPos(m_window, &input.cursorX, &input.cursorY);
        for (int b = 0; b < 3; ++b)
            input.buttonsDown[b] = glfwGetMouseButton(m_window, b) == GLFW_PRESS;
    } else {
        input.time = m_lastTime + 1.0 / 60.0;  // no clock to read: a steady 60 frames a second
    }
    NewFrame(input);
}

void Gui::NewFrame(const GuiFrameInput& input)
{
    ImGuiIO& io = ImGui::GetIO();
    if (!io.Fonts->IsBuilt())
        io.Fonts->Build();

    const float width = static_cast<float>(input.windowWidth);
    const float height = static_cast<float>(input.windowHeight);
    io.DisplaySize = ImVec2(width, height);
    io.DisplayFramebufferScale =
        ImVec2(input.windowWidth > 0 ? static_cast<float>(input.framebufferWidth) / width : 0.0f,
               input.windowHeight > 0 ? static_cast<float>(input.framebufferHeight) / height
                                      : 0.0f);

    float delta = m_lastTime > 0.0 ? static_cast<float>(input.time - m_lastTime) : 1.0f / 60.0f;
    if (!(delta >= kMinDeltaTime))
        delta = kMinDeltaTime;
    io.DeltaTime = delta;
    m_lastTime = input.time;

    if (input.focused)
        io.MousePos = ImVec2(static_cast<float>(input.cursorX), static_cast<float>(input.cursorY));
    else
        io.MousePos = ImVec2(-FLT_MAX, -FLT_MAX);

    for (int b = 0; b < 3; ++b) {
        io.MouseDown[b] = g_mousePressed[b] || input.buttonsDown[b];
        g_mousePressed[b] = false;
    }
    io.MouseWheel = g_mouseWheel;
    g_mouseWheel = 0.0f;
    ApplyKeyChanges(io);

    ImGui::NewFrame();
}

void Gui::EndFrame()
{
    ImGui::Render();
    if (m_window != nullptr)
        RenderDrawLists(ImGui::GetDrawData());
}

bool Gui::CreateFontsTexture()
{
    ImGuiIO& io = ImGui::GetIO();
    unsigned char* pixels = nullptr;
    int width = 0;
    int height = 0;
    io.Fonts->GetTexDataAsAlpha8(&pixels, &width, &height);
    // Without a GL context (a window-less GUI) the atlas is built but nothing is uploaded.
    if (m_window == nullptr || glfwGetCurrentContext() == nullptr)
        return true;

    GLint previousTexture = 0;
    GLint previousUnpackBuffer = 0;
    GLint previousAlignment = 4;
    GLint previousRowLength = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &previousTexture);
    glGetIntegerv(GL_PIXEL_UNPACK_BUFFER_BINDING, &previousUnpackBuffer);
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &previousAlignment);
    glGetIntegerv(GL_UNPACK_ROW_LENGTH, &previousRowLength);
    glBindBuffer(GL_PIXEL_UNPACK_BUFFER, 0);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);

    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_ALPHA, width, height, 0, GL_ALPHA, GL_UNSIGNED_BYTE, pixels);
    io.Fonts->SetTexID(reinterpret_cast<ImTextureID>(static_cast<intptr_t>(texture)));
    m_fontTexture = texture;

    glPixelStorei(GL_UNPACK_ROW_LENGTH, previousRowLength);
    glPixelStorei(GL_UNPACK_ALIGNMENT, previousAlignment);
    glBindBuffer(GL_PIXEL_UNPACK_BUFFER, static_cast<GLuint>(previousUnpackBuffer));
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(previousTexture));
    return true;
}

void Gui::RenderDrawLists(ImDrawData* drawData)
{
    if (drawData == nullptr)
        return;
    const ImGuiIO& io = ImGui::GetIO();
    const int fbWidth = static_cast<int>(io.DisplaySize.x * io.DisplayFramebufferScale.x);
    const int fbHeight = static_cast<int>(io.DisplaySize.y * io.DisplayFramebufferScale.y);
    // A minimised window has no framebuffer to draw into.
    if (fbWidth <= 0 || fbHeight <= 0)
        return;
    drawData->ScaleClipRects(io.DisplayFramebufferScale);

    const GuiDrawState resetState;
    GLint previousTexture = 0;
    GLint previousViewport[4] = {0, 0, 0, 0};
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &previousTexture);
    glGetIntegerv(GL_VIEWPORT, previousViewport);
    glPushAttrib(GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT | GL_TRANSFORM_BIT);

    glEnable(GL_BLEND);
    glBlendEquation(GL_FUNC_ADD);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glDisable(GL_CULL_FACE);
    glDisable(GL_DEPTH_TEST);
    glEnable(GL_SCISSOR_TEST);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glEnableClientState(GL_COLOR_ARRAY);
    glEnable(GL_TEXTURE_2D);
    glViewport(0, 0, fbWidth, fbHeight);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0.0, io.DisplaySize.x, io.DisplaySize.y, 0.0, -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();

    static_assert(sizeof(ImDrawVert) == 20, "the draw reads 20-byte vertices");
    static_assert(sizeof(ImDrawIdx) == 2, "the draw reads 16-bit indices");
    for (int n = 0; n < drawData->CmdListsCount; ++n) {
        const ImDrawList* list = drawData->CmdLists[n];
        const char* vertices = reinterpret_cast<const char*>(list->VtxBuffer.Data);
        const ImDrawIdx* indices = list->IdxBuffer.Data;
        glVertexPointer(2, GL_FLOAT, sizeof(ImDrawVert), vertices + offsetof(ImDrawVert, pos));
        glTexCoordPointer(2, GL_FLOAT, sizeof(ImDrawVert), vertices + offsetof(ImDrawVert, uv));
        glColorPointer(4, GL_UNSIGNED_BYTE, sizeof(ImDrawVert),
                       vertices + offsetof(ImDrawVert, col));
        for (int c = 0; c < list->CmdBuffer.Size; ++c) {
            const ImDrawCmd& cmd = list->CmdBuffer[c];
            if (cmd.UserCallback != nullptr) {
                // The reset marker is a request to us, not a function.
                if (cmd.UserCallback != ImDrawCallback_ResetRenderState)
                    cmd.UserCallback(list, &cmd);
            } else {
                const int clipX = static_cast<int>(cmd.ClipRect.x);
                const int clipY = static_cast<int>(static_cast<float>(fbHeight) - cmd.ClipRect.w);
                const int clipW = static_cast<int>(cmd.ClipRect.z - cmd.ClipRect.x);
                const int clipH = static_cast<int>(cmd.ClipRect.w - cmd.ClipRect.y);
                if (clipW > 0 && clipH > 0) {
                    glBindTexture(GL_TEXTURE_2D,
                                  static_cast<GLuint>(reinterpret_cast<intptr_t>(cmd.TextureId)));
                    glScissor(clipX, clipY, clipW, clipH);
                    glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(cmd.ElemCount),
                                   GL_UNSIGNED_SHORT, indices);
                }
            }
            indices += cmd.ElemCount;
        }
    }

    glDisableClientState(GL_COLOR_ARRAY);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glDisableClientState(GL_VERTEX_ARRAY);
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(previousTexture));
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glPopAttrib();
    glViewport(previousViewport[0], previousViewport[1], previousViewport[2], previousViewport[3]);
}

void Gui::OnMouseButton(GLFWwindow*, int button, int action, int)
{
    if (action == GLFW_PRESS && button >= 0 && button < 3)
        g_mousePressed[button] = true;
}

void Gui::OnScroll(GLFWwindow*, double, double yOffset)
{
    g_mouseWheel += static_cast<float>(yOffset);
}

void Gui::OnKey(GLFWwindow*, int key, int, int action, int)
{
    if (ImGui::GetCurrentContext() == nullptr)
        return;
    // A repeat is ImGui's own business: it repeats a key held down over frames.
    if (key >= 0 && key < kKeysDownSize && (action == GLFW_PRESS || action == GLFW_RELEASE))
        g_keyChanges.push_back(GuiKeyChange{key, action == GLFW_PRESS});
}

void Gui::OnChar(GLFWwindow*, unsigned int codePoint)
{
    if (ImGui::GetCurrentContext() == nullptr)
        return;
    if (codePoint > 0 && codePoint <= 0xFFFF)
        ImGui::GetIO().AddInputCharacter(codePoint);
}

}  // namespace ztengine
