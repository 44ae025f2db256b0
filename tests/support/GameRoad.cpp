#include "support/GameRoad.h"

#include <GL/glew.h>
#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "core/Subsystem.h"
#include "core/Win32App.h"
#include "core/graphics/framework/Graphics3D.h"
#include "core/graphics/framework/Renderer3DBase.h"
#include "core/graphics/framework/RendererOptions.h"
#include "core/subsys/FirstPersonCameraSystem/FirstPersonCameraSystem.h"
#include "core/subsys/sharedData/CameraRecords.h"
#include "core/subsys/sharedData/LevelRecords.h"
#include "support/TestSupport.h"
#include "support/WindowScreenshot.h"

namespace zttest {

namespace {

// Where a slow road spends its time, on the error stream (the game's own printing is kept).
void Progress(const std::string& tag, const std::string& what, int frames)
{
    static const auto start = std::chrono::steady_clock::now();
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::fprintf(stderr, "[%s %6.1fs frame %d] %s\n", tag.c_str(), seconds, frames, what.c_str());
}

constexpr float kRadiansToDegrees = 180.0f / 3.14159265358979f;

double Luma(uint32_t rgb)
{
    return 0.299 * ((rgb >> 16) & 0xff) + 0.587 * ((rgb >> 8) & 0xff) + 0.114 * (rgb & 0xff);
}

}  // namespace

// The last system of every state: it runs after the frame's other systems have updated and just
// before the frame is drawn, takes the costly effects away for the drawing, and AfterFrame puts
// the game's choices back. A switch the game turned on after this system ran (a system
// initialised once loading is done, a debug window's button) keeps the game's new value; one it
// turned off in that short span would come back on, which no road does.
class PlainFrames final : public ztengine::Subsystem {
public:
    explicit PlainFrames(ztengine::App* app) : Subsystem(app) {}

    bool m_keep = false;

    void Update(float) override
    {
        if (m_keep || m_holding)
            return;
        m_game = Read();
        Write(Switches{});
        m_holding = true;
    }

    void AfterFrame()
    {
        if (!m_holding)
            return;
        m_holding = false;
        // Only what still holds the value written for the drawing goes back.
        Switches now = Read();
        now.shadows = now.shadows || m_game.shadows;
        now.ssao = now.ssao || m_game.ssao;
        now.motionBlur = now.motionBlur || m_game.motionBlur;
        now.depthOfField = now.depthOfField || m_game.depthOfField;
        Write(now);
    }

private:
    struct Switches {
        bool shadows = false;
        bool ssao = false;
        bool motionBlur = false;
        bool depthOfField = false;
    };

    uint8_t Mask() const
    {
        const auto* renderer = dynamic_cast<const ztengine::Renderer3DBase*>(m_graphics);
        return renderer != nullptr ? renderer->GetOptions().m_effectsMask : uint8_t{0};
    }

    Switches Read() const
    {
        using Options = ztengine::RendererOptions;
        Switches on;
        on.shadows = m_graphics->AreShadowsEnabled();
        on.ssao = m_graphics->m_ssaoEnabled;
        on.motionBlur = (Mask() & Options::kEffectMotionBlur) != 0;
        on.depthOfField = (Mask() & Options::kEffectDepthOfField) != 0;
        return on;
    }

    void Write(const Switches& on)
    {
        using Options = ztengine::RendererOptions;
        m_graphics->EnableShadows(on.shadows);
        m_graphics->m_ssaoEnabled = on.ssao;
        uint8_t mask = Mask() & static_cast<uint8_t>(~(Options::kEffectMotionBlur | Options::kEffectDepthOfField));
        if (on.motionBlur)
            mask |= Options::kEffectMotionBlur;
        if (on.depthOfField)
            mask |= Options::kEffectDepthOfField;
        m_graphics->SetEffectsMask(mask);
    }

    bool m_holding = false;
    Switches m_game;
};

double RoadPicture::MeanLuma() const
{
    double sum = 0.0;
    for (uint32_t p : pixels)
        sum += Luma(p);
    return pixels.empty() ? 0.0 : sum / static_cast<double>(pixels.size());
}

double RoadPicture::DarkShare() const
{
    size_t n = 0;
    for (uint32_t p : pixels)
        n += Luma(p) < 8.0 ? 1 : 0;
    return pixels.empty() ? 1.0 : static_cast<double>(n) / static_cast<double>(pixels.size());
}

double RoadPicture::BrightShare() const
{
    size_t n = 0;
    for (uint32_t p : pixels)
        n += Luma(p) > 247.0 ? 1 : 0;
    return pixels.empty() ? 1.0 : static_cast<double>(n) / static_cast<double>(pixels.size());
}

int RoadPicture::Count(int x0, int y0, int w, int h, const std::function<bool(int, int, int)>& pick) const
{
    int n = 0;
    for (int y = std::max(0, y0); y < std::min(height, y0 + h); ++y)
        for (int x = std::max(0, x0); x < std::min(width, x0 + w); ++x) {
            const uint32_t p = At(x, y);
            n += pick(static_cast<int>((p >> 16) & 0xff), static_cast<int>((p >> 8) & 0xff),
                      static_cast<int>(p & 0xff))
                     ? 1
                     : 0;
        }
    return n;
}

void RoadPicture::Mean(int x0, int y0, int w, int h, double& r, double& g, double& b) const
{
    r = g = b = 0.0;
    double n = 0.0;
    for (int y = std::max(0, y0); y < std::min(height, y0 + h); ++y)
        for (int x = std::max(0, x0); x < std::min(width, x0 + w); ++x) {
            const uint32_t p = At(x, y);
            r += (p >> 16) & 0xff;
            g += (p >> 8) & 0xff;
            b += p & 0xff;
            n += 1.0;
        }
    if (n > 0.0) {
        r /= n;
        g /= n;
        b /= n;
    }
}

size_t RoadPicture::Changed(const RoadPicture& other) const
{
    size_t n = 0;
    for (size_t i = 0; i < pixels.size() && i < other.pixels.size(); ++i) {
        const uint32_t a = pixels[i];
        const uint32_t b = other.pixels[i];
        int d = 0;
        for (int shift : {0, 8, 16})
            d += std::abs(static_cast<int>((a >> shift) & 0xff) - static_cast<int>((b >> shift) & 0xff));
        n += d > 30 ? 1 : 0;
    }
    return n;
}

GameRoad::GameRoad(const std::string& tag, double dt) : m_tag(tag), m_dt(dt)
{
    // A screen of its own, the window's size: nothing else can cover the pictures.
    m_display = PrivateDisplay(1280, 800);
    if (m_display.empty()) {
        m_error = "Xvfb could not be started for a 1280 x 800 screen";
        return;
    }
    m_onDisplay = std::make_unique<ScopedDisplay>(m_display);
    AppFixtureOptions options;
    options.dt = dt;
    options.beforeInit = [this](ztengine::Win32App& app) {
        const auto added = app.AddSystem<PlainFrames>();
        m_plainFrames = added.first;
        m_plainFrames->m_keep = m_keepEffects;
        for (const std::string& state : app.GetStateNames())
            app.RegSystemToState(state.c_str(), added.second);
    };
    options.afterFrame = [this] {
        if (m_plainFrames != nullptr)
            m_plainFrames->AfterFrame();
    };
    options.workDir = MakeRuntimeWorkspace(tag);
    // The size the HUD is laid out for.
    std::ofstream(options.workDir / "config.ini", std::ios::binary | std::ios::trunc)
        << R"({"w": 1280, "h": 800, "fullscreen": false, "vsync": false})";
    m_printed += CaptureStdout([&] { m_game = std::make_unique<AppFixture>(options); });
    if (!m_game->Started())
        m_error = "the game did not start: " + m_game->InitError();
}

GameRoad::~GameRoad()
{
    Quit();
    m_game.reset();
    m_onDisplay.reset();
}

std::string GameRoad::State()
{
    return App().GetStateName(App().GetCurrentState());
}

void GameRoad::Run(int frames)
{
    m_printed += CaptureStdout([&] { m_game->RunFrames(frames); });
}

bool GameRoad::RunUntil(const std::function<bool()>& done, int maxFrames)
{
    bool held = false;
    m_printed += CaptureStdout([&] { held = m_game->RunUntil(done, maxFrames); });
    return held;
}

void GameRoad::Tap(int key)
{
    m_game->PressKey(key);
    Run(1);
    m_game->ReleaseKey(key);
    Run(1);
}

void GameRoad::TapWith(int modifier, int key)
{
    m_game->PressKey(modifier);
    Run(1);
    Tap(key);
    m_game->ReleaseKey(modifier);
    Run(1);
}

void GameRoad::Click(int button)
{
    m_game->PressMouseButton(button);
    Run(2);
    m_game->ReleaseMouseButton(button);
    Run(1);
}

bool GameRoad::Start()
{
    if (!StartIntro())
        return false;
    Run(2);
    Tap(GLFW_KEY_SPACE);
    if (!RunUntil([&] { return State() == "GAMEPLAY_STATE"; }, 10)) {
        m_error = "Space did not cut the intro short (in " + State() + ")";
        return false;
    }
    // The body settles on the hub's ground.
    Run(10);
    Progress(m_tag, "in play", m_game->FramesRun());
    return true;
}

bool GameRoad::StartIntro()
{
    if (!m_game || !m_game->Started())
        return false;
    Progress(m_tag, "started", m_game->FramesRun());
    // The loading and the controller screen are taken the quick way (see RunLoading).
    bool loaded = false;
    m_printed += CaptureStdout([&] { loaded = m_game->RunLoading(3000); });
    Progress(m_tag, "in the main menu", m_game->FramesRun());
    if (!loaded) {
        m_error = "loading did not reach the main menu (in " + State() + ")";
        return false;
    }
    // Play, as the player clicks it: the menu's points are offsets from the window centre, y up.
    const double width = App().m_windowInfo.windowWidth;
    const double height = App().m_windowInfo.windowHeight;
    m_game->MoveCursor(width / 2.0 - 500.0, height / 2.0 + 25.0);
    Run(1);
    Click(GLFW_MOUSE_BUTTON_LEFT);
    if (State() != "CINEMATIC_INTRO_STATE") {
        m_error = "Play did not start the intro (in " + State() + ")";
        return false;
    }
    return true;
}

void GameRoad::StandAt(const ztmath::Vector3& position)
{
    ztmath::Vector3 at = position;
    App().m_messagingSystem.SendEventByName("PLAYER_SET_POSITION", ztengine::IEvent(0, &at));
    Run(1);
}

float GameRoad::Yaw()
{
    return m_game->FindSystem<ztengine::FirstPersonCameraSystem>()->GetYaw();
}

float GameRoad::Pitch()
{
    return m_game->FindSystem<ztengine::FirstPersonCameraSystem>()->GetPitch();
}

ztmath::Vector3 GameRoad::Eye()
{
    return App().GetGraphics3D()->GetCameraPosition();
}

ztmath::Vector3 GameRoad::FarCornerOfThisRoom()
{
    const ztmath::Vector3 eye = Eye();
    ztmath::Vector3 corner = eye + ztmath::Vector3(0.0f, 0.0f, 10.0f);
    float farthest = 0.0f;
    for (const auto& room : Shared<ztengine::LevelLayout>("LevelLayout").m_rooms) {
        if (eye.x < room.m_min.x || eye.x > room.m_max.x || eye.z < room.m_min.z ||
            eye.z > room.m_max.z)
            continue;
        for (float x : {room.m_min.x, room.m_max.x - 10.0f})
            for (float z : {room.m_min.z, room.m_max.z - 10.0f}) {
                const ztmath::Vector3 c(x, eye.y, z);
                if ((c - eye).LengthSquared() > farthest) {
                    farthest = (c - eye).LengthSquared();
                    corner = c;
                }
            }
    }
    return corner;
}

void GameRoad::Look(float yaw, float pitch)
{
    // Through the look's own channel, read by the camera on its next update.
    auto& updates = Shared<ztengine::FPSCameraUpdates>("FPSCameraUpdates");
    float turn = yaw - Yaw();
    while (turn > 180.0f)
        turn -= 360.0f;
    while (turn < -180.0f)
        turn += 360.0f;
    updates.m_yawDelta = turn;
    updates.m_pitchDelta = pitch - Pitch();
    Run(1);
}

void GameRoad::Face(const ztmath::Vector3& target)
{
    const ztmath::Vector3 d = target - Eye();
    const float flat = std::sqrt(d.x * d.x + d.z * d.z);
    Look(std::atan2(d.x, d.z) * kRadiansToDegrees, -std::atan2(d.y, flat) * kRadiansToDegrees);
}

bool GameRoad::WalkUntil(const std::function<bool()>& done, int maxFrames, int key)
{
    m_game->PressKey(key);
    const bool held = RunUntil(done, maxFrames);
    m_game->ReleaseKey(key);
    Run(1);
    return held;
}

const ztmath::Vector3 GameRoad::kRedSkull{500.0f, 500.0f, 700.0f};
const ztmath::Vector3 GameRoad::kGreenSkull{300.0f, 500.0f, 300.0f};
const ztmath::Vector3 GameRoad::kBlueSkull{700.0f, 500.0f, 300.0f};

bool GameRoad::WalkIntoPortal(const ztmath::Vector3& skull)
{
    ztmath::Vector3 fromCentre = ztmath::Vector3(500.0f, 500.0f, 500.0f) - skull;
    fromCentre.y = 0.0f;
    fromCentre.Normalize();
    StandAt(skull + fromCentre * 30.0f + ztmath::Vector3(0.0f, 12.0f, 0.0f));
    Run(10);
    // The trigger is 7.5 above the skull.
    Face(skull + ztmath::Vector3(0.0f, 7.5f, 0.0f));
    const bool entered = WalkUntil([&] { return State() == "FADE_OUT_STATE"; }, 200);
    Progress(m_tag, entered ? "into a portal" : "missed a portal", m_game->FramesRun());
    return entered;
}

bool GameRoad::StepIntoPortal(const ztmath::Vector3& skull)
{
    ztmath::Vector3 fromCentre = ztmath::Vector3(500.0f, 500.0f, 500.0f) - skull;
    fromCentre.y = 0.0f;
    fromCentre.Normalize();
    // The trigger is 7.5 above the skull and reaches 16 units; the eye is 3 above the body.
    StandAt(skull + fromCentre * 8.0f + ztmath::Vector3(0.0f, 6.0f, 0.0f));
    const bool entered = State() == "FADE_OUT_STATE" ||
                         RunUntil([&] { return State() == "FADE_OUT_STATE"; }, 20);
    Progress(m_tag, entered ? "into a portal" : "missed a portal", m_game->FramesRun());
    return entered;
}

bool GameRoad::WaitForPlay(int maxFrames)
{
    // The fade first has to begin: a frame may pass before the state changes.
    Run(1);
    // The white screens fade at their own pace whatever the step and nothing else runs behind
    // them: they are waited out in long steps.
    const double step = m_game->Step();
    const bool back = RunUntil(
        [&] {
            const std::string state = State();
            const bool fading = state == "FADE_OUT_STATE" || state == "FADE_IN_STATE";
            m_game->SetStep(fading ? AppFixture::kLongStep : step);
            return state == "GAMEPLAY_STATE";
        },
        maxFrames);
    m_game->SetStep(step);
    Progress(m_tag, back ? "back in play" : "still in " + State(), m_game->FramesRun());
    return back;
}

void GameRoad::KeepEffects(bool keep)
{
    m_keepEffects = keep;
    if (m_plainFrames != nullptr)
        m_plainFrames->m_keep = keep;
}

RoadPicture GameRoad::Shot(const std::string& name, int settle)
{
    if (settle > 0) {
        const bool kept = m_keepEffects;
        KeepEffects(true);
        Run(settle);
        KeepEffects(kept);
    }
    RoadPicture picture;
    picture.width = static_cast<int>(App().m_windowInfo.windowWidth);
    picture.height = static_cast<int>(App().m_windowInfo.windowHeight);
    picture.pixels = ReadWindow(App().GetWindow(), picture.width, picture.height);
    EXPECT_EQ(picture.pixels.size(), static_cast<size_t>(picture.width) * static_cast<size_t>(picture.height))
        << name << ": the window could not be read";
    if (picture.pixels.empty()) {
        picture.pixels.assign(static_cast<size_t>(picture.width) * static_cast<size_t>(picture.height), 0u);
        return picture;
    }
    std::filesystem::create_directories(std::filesystem::path(ZT_TEST_TMP_DIR).parent_path() / "test-artefacts" / m_tag);
    const std::filesystem::path path = SaveScreenshot(picture.pixels, picture.width, picture.height,
                                                      m_tag + "/" + name + ".png");
    EXPECT_FALSE(path.empty()) << name;
    m_shots.push_back(path.string());
    Progress(m_tag, "picture " + name, m_game->FramesRun());
    std::printf("screenshot: %s\n", path.string().c_str());
    return picture;
}

void GameRoad::ExpectReadable(const RoadPicture& picture, const std::string& what)
{
    EXPECT_GT(picture.MeanLuma(), 20.0) << what << " is too dark";
    EXPECT_LT(picture.MeanLuma(), 200.0) << what << " is washed out";
    EXPECT_LT(picture.DarkShare(), 0.6) << what << " is mostly black";
    EXPECT_LT(picture.BrightShare(), 0.1) << what << " is mostly white";
}

int GameRoad::Quit()
{
    if (!m_game)
        return -1;
    int result = 0;
    // The shutdown deletes the systems.
    m_plainFrames = nullptr;
    m_printed += CaptureStdout([&] { result = m_game->Shutdown(); });
    return result;
}

}  // namespace zttest
