#include "support/WindowScreenshot.h"

#include <GL/glew.h>
#include <GLFW/glfw3.h>

#include "support/GLTestContext.h"

// Last: Xlib defines short macros (None, Bool, Status) that would clash with the game's names.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

// GLFW's X11 accessors (declared here: the native header also wants the XRandR headers).
extern "C" Display* glfwGetX11Display(void);
extern "C" Window glfwGetX11Window(GLFWwindow* window);

namespace zttest {

std::vector<uint32_t> ReadWindow(GLFWwindow* window, int width, int height)
{
    std::vector<uint32_t> pixels;
    if (window == nullptr)
        return pixels;
    glFinish();
    Display* display = glfwGetX11Display();
    XSync(display, False);
    XImage* image = XGetImage(display, glfwGetX11Window(window), 0, 0, static_cast<unsigned>(width),
                              static_cast<unsigned>(height), AllPlanes, ZPixmap);
    if (image == nullptr)
        return pixels;
    pixels.resize(static_cast<size_t>(width) * static_cast<size_t>(height));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            pixels[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)] =
                static_cast<uint32_t>(XGetPixel(image, x, y)) & 0xFFFFFFu;
    XDestroyImage(image);
    return pixels;
}

std::filesystem::path SaveScreenshot(const std::vector<uint32_t>& pixels, int width, int height,
                                     const std::string& name)
{
    if (pixels.size() != static_cast<size_t>(width) * static_cast<size_t>(height))
        return {};
    // SavePng takes rows bottom first.
    std::vector<uint8_t> rgba(pixels.size() * 4);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const uint32_t p = pixels[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)];
            uint8_t* out = &rgba[(static_cast<size_t>(height - 1 - y) * static_cast<size_t>(width) +
                                  static_cast<size_t>(x)) *
                                 4];
            out[0] = static_cast<uint8_t>(p >> 16);
            out[1] = static_cast<uint8_t>(p >> 8);
            out[2] = static_cast<uint8_t>(p);
            out[3] = 255;
        }
    const std::filesystem::path dir = std::filesystem::path(ZT_TEST_TMP_DIR).parent_path() / "test-artefacts";
    std::filesystem::create_directories(dir);
    const std::filesystem::path path = dir / name;
    return GLTestContext::SavePng(path, rgba, width, height) ? path : std::filesystem::path();
}

}  // namespace zttest
