#pragma once
// What a game window shows on the display, read back through the X server (the frame as the
// player sees it after the swap), and saved as a PNG under the build's test-artefacts folder.
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

struct GLFWwindow;

namespace zttest {

// The window's top-left width x height pixels, rows from the top, as 0xRRGGBB; empty when the
// display could not give them.
std::vector<uint32_t> ReadWindow(GLFWwindow* window, int width, int height);

// Saves pixels from ReadWindow as test-artefacts/<name>; returns the path, empty on failure.
std::filesystem::path SaveScreenshot(const std::vector<uint32_t>& pixels, int width, int height,
                                     const std::string& name);

}  // namespace zttest
