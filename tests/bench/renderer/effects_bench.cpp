// Post-effect benchmark: the renderer's demo scene (the frame benchmark's) at 1280 x 800 in a
// hidden window, timed per frame with each screen effect switched on alone and with all of them
// on, in one run. Bloom is part of every frame, so the first row (no SSAO, motion blur or depth
// of field) is the base the others add to. The camera sways a little every frame so motion blur
// has motion to smear. Prints the median and the fastest frame of each row.
//
//     bench_effects [runtime folder] [frames]   (defaults: ./run, 60 frames after 5 warm-up)
#include <GL/glew.h>
#include <GLFW/glfw3.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include "../../core/graphics/renderer/DemoScene.h"
#include "core/graphics/GLRenderer3D.h"
#include "core/graphics/framework/RendererOptions.h"

namespace {

constexpr int kWidth = 1280;
constexpr int kHeight = 800;
constexpr int kWarmUp = 5;

struct Row {
    const char* name;
    bool ssao;
    uint8_t mask;
};

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const size_t middle = values.size() / 2;
    return values.size() % 2 == 1 ? values[middle] : 0.5 * (values[middle - 1] + values[middle]);
}

}  // namespace

int main(int argc, char** argv)
{
    const std::filesystem::path runtime = argc > 1 ? argv[1] : "run";
    const int frames = argc > 2 ? std::max(1, std::atoi(argv[2])) : 60;
    std::error_code error;
    std::filesystem::current_path(runtime, error);
    if (error || !std::filesystem::exists("shaders")) {
        std::fprintf(stderr, "bench_effects: %s is not a runtime folder (no shaders/)\n", runtime.string().c_str());
        return 1;
    }

    if (!glfwInit()) {
        std::fprintf(stderr, "bench_effects: no display\n");
        return 1;
    }
    glfwWindowHint(GLFW_VISIBLE, GLFW_FALSE);
    glfwWindowHint(GLFW_RESIZABLE, GLFW_FALSE);
    GLFWwindow* window = glfwCreateWindow(kWidth, kHeight, "bench_effects", nullptr, nullptr);
    if (window == nullptr) {
        std::fprintf(stderr, "bench_effects: no window\n");
        glfwTerminate();
        return 1;
    }
    glfwMakeContextCurrent(window);
    glfwSwapInterval(0);
    glewExperimental = GL_TRUE;
    if (glewInit() != GLEW_OK) {
        std::fprintf(stderr, "bench_effects: GLEW failed\n");
        glfwTerminate();
        return 1;
    }

    {
        ztengine::GLRenderer3D renderer;
        renderer.Init(kWidth, kHeight, kWidth, kHeight);
        renderertest::DemoScene scene;
        scene.Build(renderer);
        renderer.SetDOFFocalPercent(0.02f);
        const ztmath::Basis startBasis = renderer.GetCameraBasis();

        using ztengine::RendererOptions;
        const uint8_t base = RendererOptions::kEffectBase;
        const Row rows[] = {
            {"bloom only (base)", false, base},
            {"SSAO", true, base},
            {"motion blur", false, static_cast<uint8_t>(base | RendererOptions::kEffectMotionBlur)},
            {"depth of field", false, static_cast<uint8_t>(base | RendererOptions::kEffectDepthOfField)},
            {"all on", true,
             static_cast<uint8_t>(base | RendererOptions::kEffectMotionBlur | RendererOptions::kEffectDepthOfField)},
        };

        std::printf("bench_effects: %d x %d, %d frames per row, %s\n", kWidth, kHeight, frames,
                    reinterpret_cast<const char*>(glGetString(GL_RENDERER)));
        std::printf("%-20s %12s %12s %14s\n", "effects on", "median ms", "fastest ms", "over base ms");
        double baseMedian = 0.0;
        for (const Row& row : rows) {
            renderer.m_ssaoEnabled = row.ssao;
            renderer.SetEffectsMask(row.mask);
            std::vector<double> times;
            for (int frame = 0; frame < kWarmUp + frames; ++frame) {
                ztmath::Basis basis = startBasis;
                basis.Yaw(frame % 2 == 0 ? 1.5f : -1.5f);
                renderer.SetCameraBasis(basis);
                const auto start = std::chrono::steady_clock::now();
                renderer.RenderFrame(1.0f / 30.0f);
                glFinish();
                const std::chrono::duration<double, std::milli> elapsed = std::chrono::steady_clock::now() - start;
                glfwSwapBuffers(window);
                if (frame >= kWarmUp)
                    times.push_back(elapsed.count());
            }
            const double median = Median(times);
            if (&row == &rows[0])
                baseMedian = median;
            std::printf("%-20s %12.2f %12.2f %+14.2f\n", row.name, median,
                        *std::min_element(times.begin(), times.end()), median - baseMedian);
            std::fflush(stdout);
        }
        renderer.Shutdown();
    }
    glfwDestroyWindow(window);
    glfwTerminate();
    return 0;
}
