#pragma once
// The whole game as a player reaches it, for the roads on screen: its own 1280 x 800 window on
// a virtual display, loading to the main menu, Play, the intro skipped with Space, and play in
// the hub. The player is moved only through the game's own ways: the look (the camera's yaw and
// pitch), the movement keys, "PLAYER_SET_POSITION" to stand somewhere, and the fades run by the
// game itself. Pictures are read back from the display as the player sees them.
//
// The frames between pictures are drawn without the costly effects (sun shadows, ambient
// occlusion, motion blur, depth of field): on the software rasteriser they cost about three
// times as much, and a road checks the game's behaviour on every frame but its pixels only
// through Shot, whose frames are drawn with the effects the game has chosen. The effects are
// taken away for the drawing alone, after every system of the frame has run, and put back as
// soon as the frame is over: the game's systems, and a test reading the renderer between frames,
// always see the game's own choices (what the options applied from settings.ini, what the menus
// changed since). A frame whose update changes the state is drawn with the effects.
// KeepEffects(true) draws every frame with them until KeepEffects(false): for a test of the
// effects themselves or of the settings menu, one that reads the window outside Shot, or the
// frames that lead up to a Shot(name, 0).
//
//     zttest::GameRoad road("dungeon");
//     ASSERT_TRUE(road.Start()) << road.Error();
//     ASSERT_TRUE(road.WalkIntoPortal(zttest::GameRoad::kRedSkull));
//     ASSERT_TRUE(road.WaitForPlay());
//     road.ExpectReadable(road.Shot("dungeon/red"));
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/math/Vector3.h"
#include "support/AppFixture.h"

namespace zttest {

// One picture from the window: rows from the top, 0xRRGGBB.
struct RoadPicture {
    std::vector<uint32_t> pixels;
    int width = 0;
    int height = 0;

    uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
    // The mean luma (0 to 255) and the shares of pixels below 8 and above 247.
    double MeanLuma() const;
    double DarkShare() const;
    double BrightShare() const;
    // Pixels in the rectangle (from the top left) for which `pick(r, g, b)` holds.
    int Count(int x0, int y0, int w, int h, const std::function<bool(int r, int g, int b)>& pick) const;
    // The mean colour of a rectangle.
    void Mean(int x0, int y0, int w, int h, double& r, double& g, double& b) const;
    // How many pixels differ clearly (sum of channel differences above 30) from another picture.
    size_t Changed(const RoadPicture& other) const;
};

class PlainFrames;

class GameRoad {
public:
    // `tag` names the working folder and the screenshots' folder under test-artefacts.
    explicit GameRoad(const std::string& tag, double dt = 1.0 / 20.0);
    ~GameRoad();

    GameRoad(const GameRoad&) = delete;
    GameRoad& operator=(const GameRoad&) = delete;

    // Start-up, loading, the main menu's Play, the intro cut short: true once in play.
    bool Start();
    // Start-up, loading and the main menu's Play only: true once the intro runs.
    bool StartIntro();
    const std::string& Error() const { return m_error; }

    AppFixture& Game() { return *m_game; }
    ztengine::Win32App& App() { return m_game->App(); }
    std::string State();
    template <class T>
    T& Shared(const char* name)
    {
        return *App().GetSharedData<T>(name);
    }

    // Frames, with the game's printing kept out of the test's output (kept in Printed()).
    void Run(int frames);
    bool RunUntil(const std::function<bool()>& done, int maxFrames);
    const std::string& Printed() const { return m_printed; }
    // Forgets what was printed so far (a long run would keep all of it).
    void ClearPrinted() { m_printed.clear(); }

    // A key or mouse button pressed for one frame and released.
    void Tap(int key);
    void Click(int button = 0);
    // `key` tapped while `modifier` is held from the frame before, as the developer keys need.
    void TapWith(int modifier, int key);

    // The player's body put at `position` (its centre; the eye is 3 above it).
    void StandAt(const ztmath::Vector3& position);
    // The look turned to absolute angles (degrees, yaw 0 looks down +z, positive pitch looks
    // down), then to look at a point from the eye.
    void Look(float yaw, float pitch);
    void Face(const ztmath::Vector3& target);
    float Yaw();
    float Pitch();
    ztmath::Vector3 Eye();
    // The corner of the room the player stands in that lies farthest from the eye, at eye
    // height, kept 10 units inside the room's far edges: the longest clear view in the room.
    ztmath::Vector3 FarCornerOfThisRoom();
    // W held until `done` holds (checked after every frame) or maxFrames passed.
    bool WalkUntil(const std::function<bool()>& done, int maxFrames, int key = 'W');
    // In the hub, from 30 units out on the side of the hub's middle, towards a portal whose
    // skull stands at `skull`, walked until the fade begins.
    bool WalkIntoPortal(const ztmath::Vector3& skull);
    // The same portal entered at any frame rate: the player is put inside its trigger, on the
    // side of the hub's middle, and play runs until the fade begins. One frame of walking can
    // be longer than the trigger is wide when frames are long.
    bool StepIntoPortal(const ztmath::Vector3& skull);
    // The hub's portals: where their skulls stand.
    static const ztmath::Vector3 kRedSkull;
    static const ztmath::Vector3 kGreenSkull;
    static const ztmath::Vector3 kBlueSkull;
    // Through the fades: frames until play has come back.
    bool WaitForPlay(int maxFrames = 400);

    // Every frame from now on drawn with the game's effects (true), or the frames between
    // pictures drawn without them again (false, as a road starts).
    void KeepEffects(bool keep);

    // The window as it stands after `settle` more frames, drawn with the game's effects (one
    // such frame shows them as in play: the shadow map is drawn anew in it, and the camera the
    // motion blur starts from is kept up in plain frames too), saved
    // as test-artefacts/<tag>/<name>.png; the path is kept in Shots(). With `settle` 0 it is the
    // frame last drawn, without the effects unless they were kept over it.
    RoadPicture Shot(const std::string& name, int settle = 2);
    const std::vector<std::string>& Shots() const { return m_shots; }
    // Neither black nor washed out.
    static void ExpectReadable(const RoadPicture& picture, const std::string& what);

    // The game's shutdown; returns its result.
    int Quit();

private:
    std::string m_tag;
    double m_dt = 1.0 / 60.0;
    std::string m_error;
    std::string m_printed;
    std::string m_display;
    std::unique_ptr<class ScopedDisplay> m_onDisplay;
    std::unique_ptr<AppFixture> m_game;
    // Owned by the game, which deletes it at its shutdown.
    PlainFrames* m_plainFrames = nullptr;
    bool m_keepEffects = false;
    std::vector<std::string> m_shots;
};

}  // namespace zttest
