// The hidden-window GL context of the drawing tests.
#include "support/GLTestContext.h"

#include <FreeImage.h>

#include <dlfcn.h>
#include <link.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <thread>

namespace zttest {

namespace {

std::string g_glfwError;

void RecordGlfwError(int code, const char* description)
{
    g_glfwError = "GLFW error " + std::to_string(code) + ": " + (description ? description : "");
}

// The GL driver loads its libraries when a context is made and unloads them when GLFW shuts
// down. What the driver keeps alive at exit would then be reported as leaks of unknown modules,
// which the sanitizer's suppressions (by library name) cannot match: keep them loaded.
int PinDriverLibrary(dl_phdr_info* info, size_t, void*)
{
    const char* name = info->dlpi_name;
    if (name == nullptr || *name == '\0')
        return 0;
    static const char* const kDriverParts[] = {"dri", "gallium", "GLX_mesa", "LLVM", "glapi", "EGL_mesa"};
    for (const char* part : kDriverParts) {
        if (std::strstr(name, part) != nullptr) {
            dlopen(name, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
            break;
        }
    }
    return 0;
}

// GLFW (and with it the connection to the display) stays up for the whole test program. An X
// server without -noreset regenerates when its last client disconnects and refuses connections
// meanwhile, so closing the display between tests made the next test fail to open it. glfwInit
// returns at once while GLFW is up, and starts it again should other test code have ended it.
bool InitGlfw(std::string& error)
{
    static std::string failure;  // a display that could not be opened is not retried per test
    static bool terminateAtExit = false;
    if (!failure.empty()) {
        error = failure;
        return false;
    }
    // Not remembered: the environment may name a display by the next test.
    if (std::getenv("DISPLAY") == nullptr && std::getenv("WAYLAND_DISPLAY") == nullptr) {
        error = "no display: DISPLAY is not set";
        return false;
    }
    // Another program's last client may just have left, starting a server reset: try a while.
    bool initialised = false;
    for (int attempt = 0; attempt < 40 && !initialised; ++attempt) {
        if (attempt > 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        g_glfwError.clear();
        initialised = glfwInit() == GLFW_TRUE;
    }
    if (!initialised) {
        error = failure = "no display: " + g_glfwError;
        return false;
    }
    if (!terminateAtExit) {
        std::atexit(glfwTerminate);
        terminateAtExit = true;
    }
    return true;
}

}  // namespace

GLTestContext::GLTestContext(int width, int height) : m_width(width), m_height(height)
{
    glfwSetErrorCallback(RecordGlfwError);
    if (!InitGlfw(m_error))
        return;
    glfwDefaultWindowHints();
    glfwWindowHint(GLFW_VISIBLE, GLFW_FALSE);
    glfwWindowHint(GLFW_RESIZABLE, GLFW_FALSE);
    m_window = glfwCreateWindow(width, height, "test", nullptr, nullptr);
    if (m_window == nullptr) {
        m_error = "cannot create a GL window: " + g_glfwError;
        return;
    }
    glfwMakeContextCurrent(m_window);
    dl_iterate_phdr(PinDriverLibrary, nullptr);
    const GLenum glew = glewInit();
    if (glew != GLEW_OK) {
        m_error = std::string("glewInit failed: ") + reinterpret_cast<const char*>(glewGetErrorString(glew));
        glfwDestroyWindow(m_window);
        m_window = nullptr;
        return;
    }
    if (!GLEW_VERSION_4_5) {
        m_error = "OpenGL 4.5 is not available: " + Describe();
        glfwDestroyWindow(m_window);
        m_window = nullptr;
        return;
    }
    TakeErrors();  // GLEW may leave an error behind on some drivers
    glViewport(0, 0, width, height);
}

GLTestContext::~GLTestContext()
{
    if (m_window == nullptr)
        return;
    glfwMakeContextCurrent(nullptr);
    glfwDestroyWindow(m_window);
}

std::string GLTestContext::Describe() const
{
    const auto* renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
    const auto* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
    return std::string(renderer ? renderer : "?") + ", OpenGL " + (version ? version : "?");
}

std::vector<uint8_t> GLTestContext::ReadPixels(int x, int y, int width, int height)
{
    std::vector<uint8_t> pixels(static_cast<size_t>(width) * static_cast<size_t>(height) * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, y, width, height, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}

Rgba GLTestContext::ReadPixel(int x, int y)
{
    const std::vector<uint8_t> p = ReadPixels(x, y, 1, 1);
    return {p[0], p[1], p[2], p[3]};
}

bool GLTestContext::SavePng(const std::filesystem::path& path, const std::vector<uint8_t>& rgba,
                            int width, int height)
{
    FIBITMAP* dib = FreeImage_Allocate(width, height, 32);
    if (dib == nullptr)
        return false;
    // FreeImage's scan line 0 is the bottom row, like GL's.
    for (int y = 0; y < height; ++y) {
        BYTE* line = FreeImage_GetScanLine(dib, y);
        const uint8_t* src = rgba.data() + static_cast<size_t>(y) * static_cast<size_t>(width) * 4;
        for (int x = 0; x < width; ++x) {
            line[x * 4 + FI_RGBA_RED] = src[x * 4 + 0];
            line[x * 4 + FI_RGBA_GREEN] = src[x * 4 + 1];
            line[x * 4 + FI_RGBA_BLUE] = src[x * 4 + 2];
            line[x * 4 + FI_RGBA_ALPHA] = 255;
        }
    }
    std::filesystem::create_directories(path.parent_path());
    const bool saved = FreeImage_Save(FIF_PNG, dib, path.string().c_str(), PNG_DEFAULT) != 0;
    FreeImage_Unload(dib);
    return saved;
}

std::string GLTestContext::TakeErrors()
{
    std::ostringstream out;
    for (int guard = 0; guard < 32; ++guard) {
        const GLenum error = glGetError();
        if (error == GL_NO_ERROR)
            break;
        char code[16];
        std::snprintf(code, sizeof(code), "0x%04X ", error);
        out << code;
    }
    return out.str();
}

ScopedCurrentPath::ScopedCurrentPath(const std::filesystem::path& path)
    : m_previous(std::filesystem::current_path())
{
    std::filesystem::current_path(path);
}

ScopedCurrentPath::~ScopedCurrentPath()
{
    std::error_code ignored;
    std::filesystem::current_path(m_previous, ignored);
}

void GLTest::SetUp()
{
    m_gl = std::make_unique<GLTestContext>(m_width, m_height);
    // A drawing test that cannot draw has not passed: skipping would report it green on a
    // machine (or a CI run) that lost its display or its GL 4.5 driver.
    if (!m_gl->IsOpen())
        GTEST_FAIL() << "a drawing test needs a display with OpenGL 4.5 (run it under xvfb-run): "
                     << m_gl->Error();
    m_cwd = std::make_unique<ScopedCurrentPath>(ZT_RUNTIME_DIR);
}

void GLTest::TearDown()
{
    m_cwd.reset();
    m_gl.reset();
}

}  // namespace zttest
