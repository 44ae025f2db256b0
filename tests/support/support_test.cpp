#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "support/FakeInput.h"

TEST(TestSupport, TempDirsAreFreshAndDistinct)
{
    auto a = zttest::MakeTempDir("support");
    auto b = zttest::MakeTempDir("support");
    EXPECT_NE(a, b);
    EXPECT_TRUE(std::filesystem::is_empty(a));
    EXPECT_EQ(zttest::CaptureStdout([] { std::printf("hello\n"); }), "hello\n");
}

TEST(TestSupport, BytesGoOutAndComeBackExactly)
{
    const auto dir = zttest::MakeTempDir("support");
    const std::string bytes("a\r\n\0\xff" "b", 6);
    zttest::WriteBytes(dir / "file.bin", bytes);
    EXPECT_EQ(zttest::ReadBytes(dir / "file.bin"), bytes);
    zttest::WriteBytes(dir / "file.bin", "short");
    EXPECT_EQ(zttest::ReadBytes(dir / "file.bin"), "short");
    EXPECT_EQ(zttest::ReadBytes(dir / "missing.bin"), "");
}

// A button goes pressed, held, released and up again over the frames, for keys, mouse buttons
// and pad 0's buttons alike.
TEST(FakeInput, ButtonsPassThroughTheirFrameStates)
{
    struct Button {
        const char* name;
        std::function<void(zttest::FakeInput&, bool down)> set;
        std::function<std::array<bool, 4>(zttest::FakeInput&)> states;  // up, pressed, held, released
    };
    const Button buttons[] = {
        {"key", [](zttest::FakeInput& in, bool down) { down ? in.Press(87) : in.Release(87); },
         [](zttest::FakeInput& in) {
             return std::array<bool, 4>{in.IsKeyUp(87), in.IsKeyPressed(87), in.IsKeyHeld(87), in.IsKeyReleased(87)};
         }},
        {"mouse button",
         [](zttest::FakeInput& in, bool down) { down ? in.PressMouseButton(1) : in.ReleaseMouseButton(1); },
         [](zttest::FakeInput& in) {
             return std::array<bool, 4>{in.IsMouseButtonUp(1), in.IsMouseButtonPressed(1),
                                        in.IsMouseButtonHeld(1), in.IsMouseButtonReleased(1)};
         }},
        {"pad button", [](zttest::FakeInput& in, bool down) { down ? in.PressPadButton(2) : in.ReleasePadButton(2); },
         [](zttest::FakeInput& in) {
             return std::array<bool, 4>{in.IsJoystickButtonUp(0, 2), in.IsJoystickButtonPressed(0, 2),
                                        in.IsJoystickButtonHeld(0, 2), in.IsJoystickButtonReleased(0, 2)};
         }},
    };
    using S = std::array<bool, 4>;
    for (const Button& b : buttons) {
        SCOPED_TRACE(b.name);
        zttest::FakeInput input;
        EXPECT_EQ(b.states(input), (S{true, false, false, false}));
        b.set(input, true);
        EXPECT_EQ(b.states(input), (S{false, true, false, false}));
        input.EndFrame();
        EXPECT_EQ(b.states(input), (S{false, false, true, false}));
        input.EndFrame();
        EXPECT_EQ(b.states(input), (S{false, false, true, false}));
        b.set(input, false);
        EXPECT_EQ(b.states(input), (S{false, false, false, true}));
        input.EndFrame();
        EXPECT_EQ(b.states(input), (S{true, false, false, false}));
    }
    // Only pad 0 is scripted.
    zttest::FakeInput input;
    input.PressPadButton(2);
    input.SetAxis(1, -0.5f);
    EXPECT_TRUE(input.IsJoystickButtonUp(1, 2));
    EXPECT_EQ(input.GetJoystickAxis(0, 1), -0.5f);
    EXPECT_EQ(input.GetJoystickAxis(1, 1), 0.0f);
    EXPECT_FALSE(input.IsJoystickPresent(0));
    input.SetJoystickPresent(true);
    EXPECT_TRUE(input.IsJoystickPresent(0));
    EXPECT_FALSE(input.IsJoystickPresent(1));
}

TEST(FakeInput, CursorDeltaIsSpentAndMovesAreKept)
{
    zttest::FakeInput input;
    input.SetCursorDelta(3.0f, -2.0f);
    EXPECT_EQ(input.GetCursorDelta()[0], 3.0f);
    EXPECT_EQ(input.GetCursorDelta()[1], -2.0f);
    input.EndFrame();
    EXPECT_EQ(input.GetCursorDelta()[0], 0.0f);
    EXPECT_EQ(input.GetCursorDelta()[1], 0.0f);
    input.SetCursorPosition(640.0, 400.0);
    EXPECT_EQ(input.GetCursorPosition()[0], 640.0f);
    EXPECT_EQ(input.GetCursorPosition()[1], 400.0f);
    EXPECT_EQ(input.CursorMoves(), (std::vector<std::pair<double, double>>{{640.0, 400.0}}));
    input.SetCursorFromCenter({10.0f, -20.0f});
    EXPECT_EQ(input.GetCursorPositionFromCenter(), ztmath::Vector2(10.0f, -20.0f));
    input.SetCursorEnabled(false);
    EXPECT_FALSE(input.IsCursorEnabled());
}
