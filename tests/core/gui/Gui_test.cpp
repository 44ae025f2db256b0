// The debug GUI core: what each frame feeds ImGui, the GUI's own input callbacks, the routing of
// window input between the GUI and the application, and the fixed-function draw over a frame
// that left its GL state behind.
#include "core/gui/Gui.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "core/graphics/Graphics2D.h"
#include "core/gui/GuiHarness.h"
#include "support/GLTestContext.h"

namespace ztengine {
namespace {

using zttest::GuiHarness;

class GuiFrameTest : public ::testing::Test {
protected:
    GuiFrameInput Reading(double time)
    {
        GuiFrameInput input;
        input.windowWidth = 800;
        input.windowHeight = 600;
        input.framebufferWidth = 1600;
        input.framebufferHeight = 1200;
        input.time = time;
        input.focused = true;
        input.cursorX = 12.5;
        input.cursorY = 40.0;
        return input;
    }
    // Starts a frame from the reading, hands ImGui's input to the check, ends the frame.
    template <class Check>
    void FrameWith(const GuiFrameInput& input, Check check)
    {
        m_h.Gui().NewFrame(input);
        check(ImGui::GetIO());
        m_h.Manager().Render();
        m_h.Gui().EndFrame();
    }

    GuiHarness m_h;
};

TEST_F(GuiFrameTest, FrameTimeIsPositiveWhateverTheClockDoes)
{
    struct Step {
        double time;
        float expected;
    };
    const Step steps[] = {
        {100.0, 1.0f / 60.0f},          // the first frame
        {100.25, 0.25f},                // a plain step
        {100.25, Gui::kMinDeltaTime},   // two frames within the clock's resolution
        {90.0, Gui::kMinDeltaTime},     // the clock was set back
        {1.0e7 + 0.001, 1.0e7f + 0.001f - 90.0f},
        {1.0e7 + 0.002, 0.001f},        // a float clock would not see this step at all
    };
    for (const Step& step : steps)
        FrameWith(Reading(step.time), [&](ImGuiIO& io) {
            EXPECT_NEAR(io.DeltaTime, step.expected, step.expected * 1e-3f) << step.time;
            EXPECT_GT(io.DeltaTime, 0.0f);
        });
}

TEST_F(GuiFrameTest, DisplaySizeScaleAndPointerComeFromTheReading)
{
    FrameWith(Reading(1.0), [](ImGuiIO& io) {
        EXPECT_EQ(io.DisplaySize.x, 800.0f);
        EXPECT_EQ(io.DisplaySize.y, 600.0f);
        EXPECT_EQ(io.DisplayFramebufferScale.x, 2.0f);
        EXPECT_EQ(io.DisplayFramebufferScale.y, 2.0f);
        EXPECT_EQ(io.MousePos.x, 12.0f) << "ImGui floors the position";
        EXPECT_EQ(io.MousePos.y, 40.0f);
    });

    GuiFrameInput minimised = Reading(2.0);
    minimised.windowWidth = minimised.windowHeight = 0;
    minimised.framebufferWidth = minimised.framebufferHeight = 0;
    minimised.focused = false;
    FrameWith(minimised, [](ImGuiIO& io) {
        EXPECT_EQ(io.DisplaySize.x, 0.0f);
        EXPECT_EQ(io.DisplayFramebufferScale.x, 0.0f);
        EXPECT_EQ(io.DisplayFramebufferScale.y, 0.0f);
        EXPECT_FALSE(ImGui::IsMousePosValid()) << "no focus: no pointer for the GUI";
    });
}

TEST_F(GuiFrameTest, ClickBetweenFramesIsSeenForOneFrameAndWheelAddsUp)
{
    Gui::OnMouseButton(nullptr, 1, GLFW_PRESS, 0);
    Gui::OnMouseButton(nullptr, 1, GLFW_RELEASE, 0);
    Gui::OnMouseButton(nullptr, 5, GLFW_PRESS, 0);  // not one of ImGui's three
    Gui::OnScroll(nullptr, 4.0, 1.0);
    Gui::OnScroll(nullptr, -3.0, 0.5);
    FrameWith(Reading(1.0), [](ImGuiIO& io) {
        EXPECT_TRUE(io.MouseDown[1]);
        EXPECT_FALSE(io.MouseDown[0]);
        EXPECT_EQ(io.MouseWheel, 1.5f);
        EXPECT_EQ(io.MouseWheelH, 0.0f);
    });
    GuiFrameInput held = Reading(2.0);
    held.buttonsDown[0] = true;
    FrameWith(held, [](ImGuiIO& io) {
        EXPECT_FALSE(io.MouseDown[1]) << "the press was used up";
        EXPECT_TRUE(io.MouseDown[0]) << "a held button is read from the window";
        EXPECT_EQ(io.MouseWheel, 0.0f);
    });
}

TEST_F(GuiFrameTest, KeyCallbackKeepsTheKeyTableAndModifiers)
{
    ImGuiIO& io = ImGui::GetIO();
    EXPECT_EQ(io.KeyMap[ImGuiKey_Enter], GLFW_KEY_ENTER);
    EXPECT_EQ(io.KeyMap[ImGuiKey_Z], GLFW_KEY_Z);

    // Key changes reach ImGui at the start of the next frame (read here before the frame's
    // routing hands an unused keyboard back to the game).
    double time = 1.0;
    const auto frame = [&](auto check) { FrameWith(Reading(time += 0.1), check); };
    Gui::OnKey(nullptr, GLFW_KEY_A, 0, GLFW_PRESS, 0);
    Gui::OnKey(nullptr, GLFW_KEY_A, 0, GLFW_REPEAT, 0);
    EXPECT_FALSE(io.KeysDown[GLFW_KEY_A]);
    frame([](ImGuiIO& in) { EXPECT_TRUE(in.KeysDown[GLFW_KEY_A]); });
    Gui::OnKey(nullptr, GLFW_KEY_A, 0, GLFW_RELEASE, 0);
    frame([](ImGuiIO& in) { EXPECT_FALSE(in.KeysDown[GLFW_KEY_A]); });
    Gui::OnKey(nullptr, GLFW_KEY_UNKNOWN, 0, GLFW_PRESS, 0);

    Gui::OnKey(nullptr, GLFW_KEY_LEFT_CONTROL, 0, GLFW_PRESS, 0);
    Gui::OnKey(nullptr, GLFW_KEY_RIGHT_CONTROL, 0, GLFW_PRESS, 0);
    Gui::OnKey(nullptr, GLFW_KEY_LEFT_CONTROL, 0, GLFW_RELEASE, 0);
    // Both down in this frame; the left one's release waits for the next.
    frame([](ImGuiIO& in) {
        EXPECT_TRUE(in.KeysDown[GLFW_KEY_LEFT_CONTROL] && in.KeysDown[GLFW_KEY_RIGHT_CONTROL]);
        EXPECT_TRUE(in.KeyCtrl);
    });
    Gui::OnKey(nullptr, GLFW_KEY_RIGHT_SHIFT, 0, GLFW_PRESS, 0);
    Gui::OnKey(nullptr, GLFW_KEY_LEFT_ALT, 0, GLFW_PRESS, 0);
    Gui::OnKey(nullptr, GLFW_KEY_RIGHT_SUPER, 0, GLFW_PRESS, 0);
    frame([](ImGuiIO& in) { EXPECT_TRUE(in.KeyShift && in.KeyAlt && in.KeySuper); });

    Gui::OnChar(nullptr, 'x');
    Gui::OnChar(nullptr, 0);
    Gui::OnChar(nullptr, 0x1F600);  // above U+FFFF
    Gui::OnChar(nullptr, 0xE9);
    ASSERT_EQ(io.InputQueueCharacters.Size, 2);
    EXPECT_EQ(io.InputQueueCharacters[0], 'x');
    EXPECT_EQ(io.InputQueueCharacters[1], 0xE9);
}

TEST_F(GuiFrameTest, HoveringTheGuiCallsTheMouseCaptureCallableEveryFrame)
{
    int captured = 0;
    m_h.Gui().SetMouseCaptureCallback([&captured] { ++captured; });
    m_h.Manager().CreateWindow("Panel", true, 300.0f, 200.0f);
    m_h.Frame();
    m_h.Frame(ImVec2(600.0f, 500.0f));
    EXPECT_EQ(captured, 0);
    for (int i = 0; i < 3; ++i)
        m_h.Frame(ImVec2(100.0f, 100.0f));  // over the window
    EXPECT_EQ(captured, 3);
    m_h.Frame(ImVec2(600.0f, 500.0f));
    EXPECT_EQ(captured, 3);
}

TEST_F(GuiFrameTest, KeysReleasedWhileTheGameHadTheKeyboardDoNotStayDown)
{
    GuiManager& m = m_h.Manager();
    const int w = m.CreateWindow("Panel", true, 300.0f, 200.0f);
    char first[64] = "one";
    char second[64] = "two";
    m.AddInputText(w, "First", first);
    m.AddInputText(w, "Second", second);
    m_h.Frame();
    const auto firstAt = m_h.Locate("Panel", "First");
    const auto secondAt = m_h.Locate("Panel", "Second");
    ASSERT_TRUE(firstAt && secondAt);

    m_h.Click(*firstAt);
    EXPECT_EQ(ImGui::GetActiveID(), GuiHarness::IdOf("Panel", "First"));
    m_h.Key(GLFW_KEY_ENTER, GLFW_PRESS);  // leaves the field; the release goes to the game
    m_h.Frame();
    EXPECT_EQ(ImGui::GetActiveID(), 0u);
    EXPECT_FALSE(ImGui::GetIO().KeysDown[GLFW_KEY_ENTER]);

    m_h.Click(*secondAt);
    for (int i = 0; i < 60; ++i)  // well past ImGui's key-repeat delay
        m_h.Frame(*secondAt);
    EXPECT_EQ(ImGui::GetActiveID(), GuiHarness::IdOf("Panel", "Second"));
}

// At 5 frames a second a quick Backspace goes down and up between two frames: the field still
// gets it, down in one frame and up in the next, and so does a tap typed twice in one frame.
TEST_F(GuiFrameTest, AKeyTappedBetweenTwoFramesReachesTheTextField)
{
    GuiManager& m = m_h.Manager();
    const int w = m.CreateWindow("Panel", true, 300.0f, 200.0f);
    char text[64] = "stone";
    m.AddInputText(w, "Name", text);
    m_h.Frame();
    const auto at = m_h.Locate("Panel", "Name");
    ASSERT_TRUE(at);
    m_h.Click(*at);
    ASSERT_EQ(ImGui::GetActiveID(), GuiHarness::IdOf("Panel", "Name"));
    m_h.Key(GLFW_KEY_END, GLFW_PRESS);
    m_h.Key(GLFW_KEY_END, GLFW_RELEASE);

    Gui::OnKey(nullptr, GLFW_KEY_BACKSPACE, 0, GLFW_PRESS, 0);
    Gui::OnKey(nullptr, GLFW_KEY_BACKSPACE, 0, GLFW_RELEASE, 0);
    m_h.Frame(*at);
    EXPECT_TRUE(ImGui::GetIO().KeysDown[GLFW_KEY_BACKSPACE]);
    m_h.Frame(*at);
    EXPECT_FALSE(ImGui::GetIO().KeysDown[GLFW_KEY_BACKSPACE]);
    EXPECT_STREQ(text, "ston");

    for (int i = 0; i < 2; ++i) {
        Gui::OnKey(nullptr, GLFW_KEY_BACKSPACE, 0, GLFW_PRESS, 0);
        Gui::OnKey(nullptr, GLFW_KEY_BACKSPACE, 0, GLFW_RELEASE, 0);
    }
    for (int i = 0; i < 4; ++i)
        m_h.Frame(*at);
    EXPECT_STREQ(text, "st");
}

TEST_F(GuiFrameTest, SwitchingOffReleasesTheGuiKeys)
{
    Gui::OnKey(nullptr, GLFW_KEY_LEFT_SHIFT, 0, GLFW_PRESS, 0);
    FrameWith(Reading(1.0), [](ImGuiIO& io) { EXPECT_TRUE(io.KeyShift); });
    Gui::OnKey(nullptr, GLFW_KEY_LEFT_CONTROL, 0, GLFW_PRESS, 0);  // still waiting for a frame
    m_h.Gui().SetEnabled(false);
    EXPECT_FALSE(m_h.Gui().IsEnabled());
    EXPECT_FALSE(ImGui::GetIO().KeysDown[GLFW_KEY_LEFT_SHIFT]);
    EXPECT_FALSE(ImGui::GetIO().KeyShift);
    FrameWith(Reading(1.1), [](ImGuiIO& io) {
        EXPECT_FALSE(io.KeyShift);
        EXPECT_FALSE(io.KeyCtrl) << "a key queued for the GUI went down after it was switched off";
    });
}

TEST_F(GuiFrameTest, ButtonThatSwitchesTheGuiOffLeavesTheInputWithTheGame)
{
    int captured = 0;
    m_h.Gui().SetMouseCaptureCallback([&captured] { ++captured; });
    GuiManager& m = m_h.Manager();
    const int w = m.CreateWindow("Panel", true, 300.0f, 200.0f);
    m.AddButton(w, "Play", [this] { m_h.Gui().SetEnabled(false); });
    m_h.Frame();
    const auto at = m_h.Locate("Panel", "Play");
    ASSERT_TRUE(at.has_value());
    m_h.Frame(*at);
    m_h.Frame(*at, true);
    captured = 0;
    m_h.Frame(*at);  // the click: the GUI goes off during this frame's drawing
    EXPECT_FALSE(m_h.Gui().IsEnabled());
    EXPECT_EQ(captured, 0) << "no routing to the GUI after it was switched off";
}

// --- With a window: the callbacks really installed, and the draw. ---

void AppKey(GLFWwindow*, int, int, int, int) {}
void AppFocus(GLFWwindow*, int) {}
void AppMouseButton(GLFWwindow*, int, int, int) {}
void AppIconify(GLFWwindow*, int) {}
void AppClose(GLFWwindow*) {}

// What is installed now, read through the previous-callback result of GLFW's setters.
template <class Callback>
Callback Installed(GLFWwindow* window, Callback (*set)(GLFWwindow*, Callback))
{
    const Callback current = set(window, nullptr);
    set(window, current);
    return current;
}

// Pixels of the current frame that differ from a reference: inside the named GUI window, and
// elsewhere below the main menu bar.
struct GuiPixels {
    int inWindow = 0;
    int windowArea = 0;
    int elsewhere = 0;
};

class GuiWindowTest : public zttest::GLTest {
protected:
    GuiWindowTest() : zttest::GLTest(GuiHarness::kWidth, GuiHarness::kHeight) {}
    void SetUp() override
    {
        zttest::GLTest::SetUp();
        if (IsSkipped())
            return;
        m_h = std::make_unique<GuiHarness>(m_gl->Window());
        GuiManager& m = m_h->Manager();
        m.m_appKeyCallback = &AppKey;
        m.m_appFocusCallback = &AppFocus;
        m.m_appMouseButtonCallback = &AppMouseButton;
        m.m_appIconifyCallback = &AppIconify;
        m.m_appCloseCallback = &AppClose;
        GLFWwindow* window = m_gl->Window();
        glfwSetKeyCallback(window, &AppKey);
        glfwSetWindowFocusCallback(window, &AppFocus);
        glfwSetMouseButtonCallback(window, &AppMouseButton);
        glfwSetWindowIconifyCallback(window, &AppIconify);
        glfwSetWindowCloseCallback(window, &AppClose);
    }
    void TearDown() override
    {
        m_h.reset();
        zttest::GLTest::TearDown();
    }

    // Saves the frame as a test artefact named after the test.
    void SaveFrame(const std::vector<uint8_t>& pixels)
    {
        const std::filesystem::path dir =
            std::filesystem::path(ZT_TEST_TMP_DIR).parent_path() / "test-artefacts";
        std::filesystem::create_directories(dir);
        const std::filesystem::path file =
            dir / (std::string("gui-") +
                   ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".png");
        EXPECT_TRUE(zttest::GLTestContext::SavePng(file, pixels, GuiHarness::kWidth,
                                                   GuiHarness::kHeight));
        RecordProperty("screenshot", file.string());
    }

    std::unique_ptr<GuiHarness> m_h;

    // Compares the default framebuffer with the frame read before the GUI drew (and saves it).
    GuiPixels CompareWith(const std::vector<uint8_t>& reference, const char* windowName)
    {
        GuiPixels result;
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        const std::vector<uint8_t> pixels = m_gl->ReadFrame();
        SaveFrame(pixels);
        const ImGuiWindow* window = GuiHarness::Window(windowName);
        if (window == nullptr)
            return result;
        result.windowArea = static_cast<int>(window->Size.x * window->Size.y);
        const float menuBar = GuiHarness::Window("##MainMenuBar")->Size.y;
        for (int y = 0; y < GuiHarness::kHeight; ++y) {
            const float top = static_cast<float>(GuiHarness::kHeight - 1 - y);  // bottom row first
            for (int x = 0; x < GuiHarness::kWidth; ++x) {
                const size_t i = (static_cast<size_t>(y) * GuiHarness::kWidth + x) * 4;
                if (pixels[i] == reference[i] && pixels[i + 1] == reference[i + 1] &&
                    pixels[i + 2] == reference[i + 2])
                    continue;
                const float fx = static_cast<float>(x);
                if (Inside(window, fx, top))
                    ++result.inWindow;
                else if (top >= menuBar && !InAnyOtherWindow(fx, top, window))
                    ++result.elsewhere;
            }
        }
        return result;
    }

private:
    static bool Inside(const ImGuiWindow* w, float x, float y)
    {
        return x >= w->Pos.x && x < w->Pos.x + w->Size.x && y >= w->Pos.y &&
               y < w->Pos.y + w->Size.y;
    }

    static bool InAnyOtherWindow(float x, float y, const ImGuiWindow* except)
    {
        for (ImGuiWindow* w : ImGui::GetCurrentContext()->Windows)
            if (w != except && w->Active && Inside(w, x, y))
                return true;
        return false;
    }
};

TEST_F(GuiWindowTest, RoutingFollowsWhatImGuiWantedAtTheStartOfTheFrame)
{
    GLFWwindow* window = m_gl->Window();
    GuiManager& m = m_h->Manager();
    const int w = m.CreateWindow("Panel", true, 300.0f, 200.0f);
    char text[64] = "";
    m.AddInputText(w, "Text", text);
    m_h->Frame();
    const auto field = m_h->Locate("Panel", "Text");
    ASSERT_TRUE(field.has_value());

    m_h->Frame(*field);
    m_h->Frame(*field);
    EXPECT_EQ(Installed(window, glfwSetMouseButtonCallback), &Gui::OnMouseButton);
    EXPECT_EQ(Installed(window, glfwSetScrollCallback), &Gui::OnScroll);
    EXPECT_EQ(Installed(window, glfwSetCharCallback), &Gui::OnChar);
    EXPECT_EQ(Installed(window, glfwSetWindowFocusCallback), &AppFocus) << "untouched";
    EXPECT_EQ(Installed(window, glfwSetKeyCallback), &AppKey) << "no text field is active";

    m_h->Click(*field);
    m_h->Frame(*field);
    EXPECT_EQ(Installed(window, glfwSetKeyCallback), &Gui::OnKey);

    m_h->Frame(ImVec2(900.0f, 700.0f));
    m_h->Frame(ImVec2(900.0f, 700.0f));
    EXPECT_EQ(Installed(window, glfwSetMouseButtonCallback), &AppMouseButton);
    EXPECT_EQ(Installed(window, glfwSetWindowIconifyCallback), &AppIconify);
    EXPECT_EQ(Installed(window, glfwSetScrollCallback), &Gui::OnScroll) << "stays installed";
    EXPECT_EQ(Installed(window, glfwSetKeyCallback), &Gui::OnKey) << "the field is still active";

    m_h->Gui().SetEnabled(false);  // gives everything back at once
    EXPECT_EQ(Installed(window, glfwSetKeyCallback), &AppKey);
    EXPECT_EQ(Installed(window, glfwSetMouseButtonCallback), &AppMouseButton);
    EXPECT_EQ(Installed(window, glfwSetWindowCloseCallback), &AppClose);
    EXPECT_EQ(Installed(window, glfwSetWindowFocusCallback), &AppFocus);
    EXPECT_EQ(Installed(window, glfwSetWindowIconifyCallback), &AppIconify);
}

TEST_F(GuiWindowTest, FrameFromTheWindowUploadsTheFontAndStartsAtOneSixtieth)
{
    Gui& gui = m_h->Gui();
    gui.NewFrame();
    const ImGuiIO& io = ImGui::GetIO();
    EXPECT_FLOAT_EQ(io.DeltaTime, 1.0f / 60.0f);
    EXPECT_EQ(io.DisplaySize.x, static_cast<float>(GuiHarness::kWidth));
    EXPECT_EQ(io.DisplaySize.y, static_cast<float>(GuiHarness::kHeight));
    if (!glfwGetWindowAttrib(m_gl->Window(), GLFW_FOCUSED)) {
        EXPECT_FALSE(ImGui::IsMousePosValid()) << "a window without focus gives no pointer";
    }
    m_h->Manager().Render();
    gui.EndFrame();

    ASSERT_NE(gui.GetFontTexture(), 0u);
    EXPECT_TRUE(glIsTexture(gui.GetFontTexture()));
    EXPECT_EQ(reinterpret_cast<intptr_t>(io.Fonts->TexID),
              static_cast<intptr_t>(gui.GetFontTexture()));
    EXPECT_EQ(zttest::GLTestContext::TakeErrors(), "");
}

// A frame of another renderer that leaves everything bound that can blank the GUI's draw.
struct LeftoverState {
    GLuint program = 0;
    GLuint vertexArray = 0;
    GLuint buffer = 0;
    GLuint framebuffer = 0;
    GLuint target = 0;

    LeftoverState()
    {
        const char* source =
            "#version 120\nvoid main() { gl_FragColor = vec4(1.0, 0.0, 1.0, 1.0); }";
        const GLuint shader = glCreateShader(GL_FRAGMENT_SHADER);
        glShaderSource(shader, 1, &source, nullptr);
        glCompileShader(shader);
        program = glCreateProgram();
        glAttachShader(program, shader);
        glLinkProgram(program);
        glDeleteShader(shader);

        glGenBuffers(1, &buffer);
        glBindBuffer(GL_ARRAY_BUFFER, buffer);
        std::vector<float> junk(4096, 0.0f);
        glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(junk.size() * sizeof(float)),
                     junk.data(), GL_STATIC_DRAW);
        // On vertex array 0, as a text pass may leave it.
        glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, buffer);
        glEnableVertexAttribArray(0);
        glVertexAttribPointer(0, 2, GL_FLOAT, GL_FALSE, 0, nullptr);

        glGenTextures(1, &target);
        glBindTexture(GL_TEXTURE_2D, target);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, 16, 16, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
        glGenFramebuffers(1, &framebuffer);
        glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
        glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, target, 0);

        glGenVertexArrays(1, &vertexArray);
        glBindVertexArray(vertexArray);
        glUseProgram(program);
        glActiveTexture(GL_TEXTURE3);
        glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
        glEnable(GL_FRAMEBUFFER_SRGB);
        glEnable(GL_DEPTH_TEST);
        glEnable(GL_CULL_FACE);
    }

    ~LeftoverState()
    {
        glUseProgram(0);
        glBindVertexArray(0);
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        glDeleteProgram(program);
        glDeleteVertexArrays(1, &vertexArray);
        glDeleteBuffers(1, &buffer);
        glDeleteFramebuffers(1, &framebuffer);
        glDeleteTextures(1, &target);
    }
};

GLint Get(GLenum what)
{
    GLint value = 0;
    glGetIntegerv(what, &value);
    return value;
}

TEST_F(GuiWindowTest, DrawsOverWhateverTheFrameLeftBoundAndPutsItBack)
{
    GuiManager& m = m_h->Manager();
    const int w = m.CreateWindow("Tuning", true, 320.0f, 240.0f);
    float exposure = 0.2126f;
    int samples = 16;
    bool bloom = true;
    std::vector<float> history = {30.0f, 45.0f, 60.0f, 20.0f, 55.0f};
    m.AddText(w, "Renderer settings (100% scale)");
    m.AddInputFloat(w, "Exposure", &exposure);
    m.AddSliderInt(w, "Samples", &samples, 1, 64);
    m.AddCheckbox(w, "Bloom", &bloom);
    m.AddButton(w, "Apply", [] {});
    m.AddPlotLines(w, "FPS", &history, 30, "", 0.0f, 65.0f, 0.0f, 60.0f);

    Gui& gui = m_h->Gui();
    gui.NewFrame();  // a first frame places the window
    m.Render();
    gui.EndFrame();

    // The rendered frame: a flat colour, with another pass's state left behind.
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glViewport(0, 0, GuiHarness::kWidth, GuiHarness::kHeight);
    glClearColor(0.1f, 0.3f, 0.5f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    const std::vector<uint8_t> frame = m_gl->ReadFrame();
    LeftoverState leftover;
    gui.NewFrame();
    m.Render();
    gui.EndFrame();

    EXPECT_EQ(Get(GL_CURRENT_PROGRAM), static_cast<GLint>(leftover.program));
    EXPECT_EQ(Get(GL_VERTEX_ARRAY_BINDING), static_cast<GLint>(leftover.vertexArray));
    EXPECT_EQ(Get(GL_ARRAY_BUFFER_BINDING), static_cast<GLint>(leftover.buffer));
    EXPECT_EQ(Get(GL_DRAW_FRAMEBUFFER_BINDING), static_cast<GLint>(leftover.framebuffer));
    EXPECT_EQ(Get(GL_ACTIVE_TEXTURE), GL_TEXTURE3);
    GLint polygon[2] = {};
    glGetIntegerv(GL_POLYGON_MODE, polygon);
    EXPECT_EQ(polygon[0], GL_LINE);
    EXPECT_TRUE(glIsEnabled(GL_FRAMEBUFFER_SRGB));
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    glBindVertexArray(0);
    EXPECT_EQ(Get(GL_ELEMENT_ARRAY_BUFFER_BINDING), static_cast<GLint>(leftover.buffer));
    EXPECT_EQ(zttest::GLTestContext::TakeErrors(), "");

    const GuiPixels pixels = CompareWith(frame, "Tuning");
    EXPECT_GT(pixels.inWindow, pixels.windowArea * 9 / 10) << "the window is drawn";
    EXPECT_EQ(pixels.elsewhere, 0) << "nothing is drawn outside the GUI";
}

TEST_F(GuiWindowTest, DrawsOverTheTwoDLayersSpritesAndText)
{
    GuiManager& m = m_h->Manager();
    const int w = m.CreateWindow("System", true, 200.0f, 200.0f);
    double fps = 59.94;
    std::vector<float> history;
    std::vector<std::string> states = {"MAIN_MENU_STATE", "GAMEPLAY_STATE"};
    m.AddVarView(w, &fps, GuiVarViewDouble, "FPS   : ");
    m.AddPlotLines(w, "FPS: ", &history, 100, "", 0.0f, 65.0f, 0.0f, 120.0f);
    const int select = m.CreateWindow("State Select", true, 250.0f, 200.0f);
    m.AddDropDownList(select, "State List", &states);
    Gui& gui = m_h->Gui();
    gui.NewFrame();
    m.Render();
    gui.EndFrame();
    ImGui::SetWindowPos("State Select", ImVec2(300.0f, 60.0f));  // as a layout file would

    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glViewport(0, 0, GuiHarness::kWidth, GuiHarness::kHeight);
    glClearColor(0.2f, 0.2f, 0.25f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    Graphics2D layer;
    ASSERT_TRUE(layer.Init(GuiHarness::kWidth, GuiHarness::kHeight));
    // A sprite and a line of text beside the GUI: the text pass leaves its glyph buffer bound.
    layer.CreateSprite({0, 1}, {400.0f, -200.0f}, {300.0f, 300.0f}, 0);
    TextManager& texts = layer.GetTextManager();
    const uint32_t text = texts.CreateText("Grelvok Vosk", texts.LoadFont("fonts/arial.ttf"));
    ASSERT_NE(text, TextManager::kInvalidIndex);
    texts.SetTextPosition(text, {500.0f, 400.0f});
    texts.SetTextColor(text, {1.0f, 1.0f, 1.0f}, 1.0f);
    texts.SetTextVisible(text, true);
    layer.Render();
    const std::vector<uint8_t> frame = m_gl->ReadFrame();

    gui.NewFrame();
    m.Render();
    gui.EndFrame();
    EXPECT_EQ(zttest::GLTestContext::TakeErrors(), "");
    const GuiPixels pixels = CompareWith(frame, "System");
    EXPECT_GT(pixels.inWindow, pixels.windowArea * 9 / 10) << "the window is drawn";
    EXPECT_EQ(pixels.elsewhere, 0) << "the 2D layer's frame is left as it was";
    layer.Shutdown();
}

TEST_F(GuiWindowTest, MinimisedFrameRunsButDrawsNothing)
{
    Gui& gui = m_h->Gui();
    gui.CreateFontsTexture();
    m_h->Manager().CreateWindow("Panel", true, 300.0f, 200.0f);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    GuiFrameInput minimised;
    minimised.time = 1.0;
    gui.NewFrame(minimised);
    m_h->Manager().Render();
    gui.EndFrame();
    const std::vector<uint8_t> pixels = m_gl->ReadFrame();
    size_t lit = 0;
    for (size_t i = 0; i < pixels.size(); i += 4)
        lit += (pixels[i] | pixels[i + 1] | pixels[i + 2]) != 0 ? 1 : 0;
    EXPECT_EQ(lit, 0u);
    EXPECT_EQ(zttest::GLTestContext::TakeErrors(), "");
}

}  // namespace
}  // namespace ztengine
