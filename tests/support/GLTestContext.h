#pragma once
// A hidden GLFW window with a current OpenGL context for tests that draw, plus pixel read-back
// and PNG saving. Tests derive from GLTest, which fails (never skips) when no display or no
// OpenGL 4.5 context can be had.
#include <GL/glew.h>
#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace zttest {

using Rgba = std::array<uint8_t, 4>;

class GLTestContext {
public:
    // Opens a hidden window of the size with GLFW's default (compatibility) context, makes it
    // current and loads the GL entry points. Check IsOpen; Error says why it is not.
    GLTestContext(int width, int height);
    // Destroys the window. GLFW itself stays up until the program ends (see GLTest).
    ~GLTestContext();
    GLTestContext(const GLTestContext&) = delete;
    GLTestContext& operator=(const GLTestContext&) = delete;

    bool IsOpen() const { return m_window != nullptr; }
    const std::string& Error() const { return m_error; }
    GLFWwindow* Window() const { return m_window; }
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    // GL_RENDERER and GL_VERSION, for test logs.
    std::string Describe() const;

    // RGBA8 pixels of the current read framebuffer, rows bottom first.
    static std::vector<uint8_t> ReadPixels(int x, int y, int width, int height);
    static Rgba ReadPixel(int x, int y);
    std::vector<uint8_t> ReadFrame() const { return ReadPixels(0, 0, m_width, m_height); }

    // Saves bottom-first RGBA8 rows as a PNG (the picture the right way up).
    static bool SavePng(const std::filesystem::path& path, const std::vector<uint8_t>& rgba,
                        int width, int height);

    // Drains glGetError into a readable list; empty when there was no error.
    static std::string TakeErrors();

private:
    GLFWwindow* m_window = nullptr;
    int m_width = 0;
    int m_height = 0;
    std::string m_error;
};

// Runs the test from another working folder (the runtime folder, where "shaders/" lives).
class ScopedCurrentPath {
public:
    explicit ScopedCurrentPath(const std::filesystem::path& path);
    ~ScopedCurrentPath();

private:
    std::filesystem::path m_previous;
};

// Fixture: a fresh window and context per test, of the size given to the constructor, run from
// the runtime folder (ZT_RUNTIME_DIR) as the game is, so "shaders/..." paths resolve. The
// connection to the display stays open for the whole program, and the GL driver keeps threads
// running: every death test in a program that uses this fixture should run in the "threadsafe"
// style (the child then starts afresh and opens its own window) instead of forking beside them.
class GLTest : public ::testing::Test {
public:
    // True when the test was skipped or SetUp failed for want of a context. Fixtures stop their
    // own SetUp on it ("GLTest::SetUp(); if (IsSkipped()) return;"), so a failed context never
    // reaches their GL calls; the test itself is reported failed.
    static bool IsSkipped() { return ::testing::Test::IsSkipped() || ::testing::Test::HasFatalFailure(); }

protected:
    explicit GLTest(int width = 1280, int height = 800) : m_width(width), m_height(height) {}
    void SetUp() override;
    void TearDown() override;

    std::unique_ptr<GLTestContext> m_gl;

private:
    std::unique_ptr<ScopedCurrentPath> m_cwd;
    int m_width;
    int m_height;
};

}  // namespace zttest
