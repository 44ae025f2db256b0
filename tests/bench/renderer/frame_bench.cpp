// Frame benchmark: the renderer's demo scene (ground, 20 crates, a posed skeleton, 1,000 instanced
// spheres, 8 point lights, sky box, sun shadows) drawn at 1280 x 800 for a fixed number of frames
// with the screen effects off (no SSAO, motion blur or depth of field; bloom always runs). Each
// frame is timed to glFinish, so the time is the GPU's as well as ours. Prints the median.
//
//     xvfb-run -a bench_frame [frames] [runtime folder]
//         default 300 frames; the folder holding "shaders/" is by default ../run beside the binary.
//         In a sanitized build add ASAN_OPTIONS=detect_leaks=0: the GL driver keeps memory past exit.
#include <GL/glew.h>
#include <GLFW/glfw3.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "../../core/graphics/renderer/DemoScene.h"
#include "core/graphics/GLRenderer3D.h"

namespace {

constexpr int kWidth = 1280;
constexpr int kHeight = 800;
constexpr int kWarmUpFrames = 10;

std::filesystem::path DefaultRuntimeFolder(const char* argv0)
{
    std::error_code error;
    std::filesystem::path self = std::filesystem::canonical("/proc/self/exe", error);
    if (error)
        self = std::filesystem::absolute(argv0);
    return self.parent_path().parent_path() / "run";
}

}  // namespace

int main(int argc, char** argv)
{
    const int frames = argc > 1 ? std::max(1, std::atoi(argv[1])) : 300;
    const std::filesystem::path runtime = argc > 2 ? std::filesystem::path(argv[2]) : DefaultRuntimeFolder(argv[0]);
    std::error_code error;
    std::filesystem::current_path(runtime, error);
    if (error || !std::filesystem::exists("shaders")) {
        std::fprintf(stderr, "bench_frame: no runtime folder with shaders at %s\n", runtime.string().c_str());
        return 1;
    }

    if (glfwInit() != GLFW_TRUE) {
        std::fprintf(stderr, "bench_frame: no display (run it under xvfb-run -a)\n");
        return 1;
    }
    glfwWindowHint(GLFW_VISIBLE, GLFW_FALSE);
    glfwWindowHint(GLFW_RESIZABLE, GLFW_FALSE);
    GLFWwindow* window = glfwCreateWindow(kWidth, kHeight, "bench_frame", nullptr, nullptr);
    if (window == nullptr) {
        std::fprintf(stderr, "bench_frame: cannot open a GL window\n");
        glfwTerminate();
        return 1;
    }
    glfwMakeContextCurrent(window);
    glfwSwapInterval(0);
    if (glewInit() != GLEW_OK) {
        std::fprintf(stderr, "bench_frame: glewInit failed\n");
        glfwTerminate();
        return 1;
    }

    int result = 0;
    {
        ztengine::GLRenderer3D renderer;
        renderer.Init(kWidth, kHeight, kWidth, kHeight);
        renderertest::DemoScene scene;
        scene.Build(renderer);
        renderer.SetEffectsMask(1);
        renderer.m_ssaoEnabled = false;

        float phase = 0.0f;
        auto frame = [&] {
            phase = phase >= 1.0f ? 0.0f : phase + 0.01f;
            scene.skeleton.SetAnimationTime(phase);
            renderer.RenderFrame(1.0f / 60.0f);
            glFinish();
            glfwSwapBuffers(window);
        };
        for (int i = 0; i < kWarmUpFrames; ++i)
            frame();

        std::vector<double> milliseconds;
        milliseconds.reserve(static_cast<size_t>(frames));
        for (int i = 0; i < frames; ++i) {
            const auto start = std::chrono::steady_clock::now();
            frame();
            const auto end = std::chrono::steady_clock::now();
            milliseconds.push_back(std::chrono::duration<double, std::milli>(end - start).count());
        }
        std::vector<double> sorted = milliseconds;
        std::sort(sorted.begin(), sorted.end());
        const double median = sorted[sorted.size() / 2];
        std::printf("renderer: %s\n", reinterpret_cast<const char*>(glGetString(GL_RENDERER)));
        std::printf("frame at %d x %d, effects off, %d frames: median %.3f ms, fastest %.3f ms, slowest %.3f ms\n",
                    kWidth, kHeight, frames, median, sorted.front(), sorted.back());
        if (glGetError() != GL_NO_ERROR) {
            std::fprintf(stderr, "bench_frame: the frame left a GL error\n");
            result = 1;
        }
        renderer.Shutdown();
    }
    glfwDestroyWindow(window);
    glfwTerminate();
    return result;
}
