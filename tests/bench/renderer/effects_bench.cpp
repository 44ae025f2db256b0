// Post-effect benchmark: the renderer's demo scene (the frame benchmark's) at 1280 x 800 in a
// hidden window, with every effect off (the base: bloom alone, which is part of every frame), with
// each effect on alone (sun shadows, SSAO, motion blur, depth of field) and with all of them on,
// as the game starts. The variants are interleaved frame by frame, in an order that turns every
// frame, so that the machine's other load falls on them alike. The camera sways every frame so
// motion blur has motion to smear. Each frame is timed to glFinish, twice: in wall time and in
// the CPU time of the whole process (the software rasteriser's worker threads do most of the
// work; on a machine others are busy with, the CPU time stretches far less than the wall time).
// Per round, each variant's median frame over the base's median frame is one ratio; each ratio
// is printed with its min, median and max over the rounds.
//
//     xvfb-run -a bench_effects [runtime folder] [frames per round] [rounds]
//         defaults: ./run, 12 frames per variant and round, 5 rounds.
//         In a sanitized build add ASAN_OPTIONS=detect_leaks=0: the GL driver keeps memory past exit.
//     BENCH_EFFECTS_DUMP=folder: before timing, each variant draws two frames (camera swayed one
//         way, then the other) and the second is written to folder/variant<N>.rgba as raw RGBA
//         bytes, rows bottom first, so that two builds' pictures can be compared byte for byte.
#include <GL/glew.h>
#include <GLFW/glfw3.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "../../core/graphics/renderer/DemoScene.h"
#include "../BenchStats.h"
#include "core/graphics/GLRenderer3D.h"
#include "core/graphics/framework/RendererOptions.h"

namespace {

constexpr int kWidth = 1280;
constexpr int kHeight = 800;
constexpr int kWarmUp = 2;

struct Variant {
    const char* name;
    bool shadows;
    bool ssao;
    uint8_t mask;
};

// Draws every variant from the same start and writes its final frame; false when a file fails.
bool DumpFrames(ztengine::GLRenderer3D& renderer, const std::vector<Variant>& variants, const ztmath::Basis& startBasis,
                const std::filesystem::path& folder)
{
    std::vector<unsigned char> pixels(static_cast<size_t>(kWidth) * kHeight * 4);
    for (size_t v = 0; v < variants.size(); ++v) {
        renderer.EnableShadows(variants[v].shadows);
        renderer.m_ssaoEnabled = variants[v].ssao;
        renderer.SetEffectsMask(variants[v].mask);
        for (const float yaw : {-1.5f, 1.5f}) {
            ztmath::Basis basis = startBasis;
            basis.Yaw(yaw);
            renderer.SetCameraBasis(basis);
            renderer.RenderFrame(1.0f / 30.0f);
        }
        glFinish();
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(0, 0, kWidth, kHeight, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
        std::ofstream out(folder / ("variant" + std::to_string(v) + ".rgba"), std::ios::binary);
        out.write(reinterpret_cast<const char*>(pixels.data()), static_cast<std::streamsize>(pixels.size()));
        if (!out)
            return false;
    }
    renderer.SetCameraBasis(startBasis);
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    const char* dumpFolder = std::getenv("BENCH_EFFECTS_DUMP");
    const std::filesystem::path dumpPath =
        dumpFolder != nullptr ? std::filesystem::absolute(dumpFolder) : std::filesystem::path();
    const std::filesystem::path runtime = argc > 1 ? argv[1] : "run";
    const int frames = argc > 2 ? std::max(1, std::atoi(argv[2])) : 12;
    const int rounds = argc > 3 ? std::max(1, std::atoi(argv[3])) : 5;
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

    int result = 0;
    {
        ztengine::GLRenderer3D renderer;
        renderer.Init(kWidth, kHeight, kWidth, kHeight);
        renderertest::DemoScene scene;
        scene.Build(renderer);
        renderer.SetDOFFocalPercent(0.02f);
        const ztmath::Basis startBasis = renderer.GetCameraBasis();

        using ztengine::RendererOptions;
        const uint8_t base = RendererOptions::kEffectBase;
        const uint8_t all = base | RendererOptions::kEffectMotionBlur | RendererOptions::kEffectDepthOfField;
        const std::vector<Variant> variants = {
            {"all off (base: bloom only)", false, false, base},
            {"+ shadows", true, false, base},
            {"+ SSAO", false, true, base},
            {"+ motion blur (camera moving)", false, false, static_cast<uint8_t>(base | RendererOptions::kEffectMotionBlur)},
            {"+ depth of field", false, false, static_cast<uint8_t>(base | RendererOptions::kEffectDepthOfField)},
            {"all on (the game's default)", true, true, all},
        };
        std::vector<std::string> names;
        for (const Variant& variant : variants)
            names.emplace_back(variant.name);
        if (!dumpPath.empty() && !DumpFrames(renderer, variants, startBasis, dumpPath)) {
            std::fprintf(stderr, "bench_effects: cannot write the frames to %s\n", dumpPath.string().c_str());
            result = 1;
        }
        ztbench::RatioTable ratios(names);
        ztbench::RatioTable cpuRatios(names);
        std::vector<std::vector<double>> allTimes(variants.size());

        std::printf("bench_effects: %d x %d, %s, %d frames per variant in each of %d rounds, interleaved\n", kWidth,
                    kHeight, reinterpret_cast<const char*>(glGetString(GL_RENDERER)), frames, rounds);
        int sway = 0;
        for (int round = 0; round < rounds; ++round) {
            std::vector<std::vector<double>> times(variants.size());
            std::vector<std::vector<double>> cpuTimes(variants.size());
            for (int frame = 0; frame < kWarmUp + frames; ++frame) {
                for (size_t k = 0; k < variants.size(); ++k) {
                    const size_t v = (k + static_cast<size_t>(frame)) % variants.size();
                    const Variant& variant = variants[v];
                    renderer.EnableShadows(variant.shadows);
                    renderer.m_ssaoEnabled = variant.ssao;
                    renderer.SetEffectsMask(variant.mask);
                    ztmath::Basis basis = startBasis;
                    basis.Yaw(++sway % 2 == 0 ? 1.5f : -1.5f);
                    renderer.SetCameraBasis(basis);
                    glFinish();
                    const double start = ztbench::WallSeconds();
                    const double cpuStart = ztbench::ProcessCpuSeconds();
                    renderer.RenderFrame(1.0f / 30.0f);
                    glFinish();
                    const double elapsed = ztbench::WallSeconds() - start;
                    const double cpuElapsed = ztbench::ProcessCpuSeconds() - cpuStart;
                    glfwSwapBuffers(window);
                    if (frame >= kWarmUp) {
                        times[v].push_back(1000.0 * elapsed);
                        cpuTimes[v].push_back(1000.0 * cpuElapsed);
                    }
                }
            }
            const double baseMedian = ztbench::Median(times[0]);
            const double baseCpuMedian = ztbench::Median(cpuTimes[0]);
            std::vector<double> roundRatios;
            std::vector<double> roundCpuRatios;
            for (size_t v = 0; v < variants.size(); ++v) {
                roundRatios.push_back(ztbench::Median(times[v]) / baseMedian);
                roundCpuRatios.push_back(ztbench::Median(cpuTimes[v]) / baseCpuMedian);
                allTimes[v].insert(allTimes[v].end(), times[v].begin(), times[v].end());
            }
            ratios.AddRound(roundRatios);
            cpuRatios.AddRound(roundCpuRatios);
        }
        std::printf("median frame over all rounds, ms:");
        for (size_t v = 0; v < variants.size(); ++v)
            std::printf(" %s %.1f%s", v == 0 ? "base" : std::to_string(v).c_str(), ztbench::Median(allTimes[v]),
                        v + 1 < variants.size() ? "," : "\n");
        ratios.Print("frame time against all effects off");
        cpuRatios.Print("frame CPU time (all threads) against all effects off");
        if (glGetError() != GL_NO_ERROR) {
            std::fprintf(stderr, "bench_effects: the frames left a GL error\n");
            result = 1;
        }
        renderer.Shutdown();
    }
    glfwDestroyWindow(window);
    glfwTerminate();
    return result;
}
