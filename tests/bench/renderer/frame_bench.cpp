// Frame benchmark: the renderer's demo scene (ground, 20 crates, a posed skeleton, 1,000 instanced
// spheres, 8 point lights, sky box, sun shadows) drawn at 1280 x 800 with the screen effects off
// (no SSAO, motion blur or depth of field; bloom always runs), by two renderers in turn, frame by
// frame: one with the scene alone, one with the scene and 40 models of 50 hidden instances each
// (what the editors keep as hidden previews). Each frame is timed to glFinish (wall time: the GL
// driver's threads do the drawing) and in this thread's CPU time up to the end of RenderFrame
// (the engine's own work). Per round, the medians of the second over the first give two ratios;
// each is printed with its min, median and max over the rounds, with the frame's median times.
//
//     xvfb-run -a bench_frame [frames per round] [runtime folder] [rounds]
//         defaults 40 frames, ../run beside the binary, 5 rounds.
//         In a sanitized build add ASAN_OPTIONS=detect_leaks=0: the GL driver keeps memory past exit.
#include <GL/glew.h>
#include <GLFW/glfw3.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "../../core/graphics/renderer/DemoScene.h"
#include "../BenchStats.h"
#include "core/graphics/GLRenderer3D.h"

namespace {

constexpr int kWidth = 1280;
constexpr int kHeight = 800;
constexpr int kWarmUpFrames = 3;

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
    const int frames = argc > 1 ? std::max(1, std::atoi(argv[1])) : 40;
    const int rounds = argc > 3 ? std::max(1, std::atoi(argv[3])) : 5;
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
        ztengine::GLRenderer3D plain;
        ztengine::GLRenderer3D withPreviews;
        renderertest::DemoScene plainScene;
        renderertest::DemoScene previewScene;
        for (auto [renderer, scene] : {std::pair{&plain, &plainScene}, std::pair{&withPreviews, &previewScene}}) {
            renderer->Init(kWidth, kHeight, kWidth, kHeight);
            scene->Build(*renderer);
            renderer->SetEffectsMask(1);
            renderer->m_ssaoEnabled = false;
        }
        const int32_t cube = withPreviews.CreateCubeMesh();
        const int32_t wood = withPreviews.CreateMaterial("textures/diff/crate.png", nullptr, nullptr, nullptr);
        for (int model = 0; model < 40; ++model) {
            const int32_t preview = withPreviews.CreateModel(static_cast<uint32_t>(cube), static_cast<uint32_t>(wood));
            for (int i = 0; i < 50; ++i)
                withPreviews
                    .CreateInstance(preview, renderertest::DemoScene::Placed(ztmath::Vector3(float(i), 1.0f, float(model)),
                                                                             ztmath::Vector3(1.0f, 1.0f, 1.0f)))
                    .SetHidden(true);
        }

        float phase = 0.0f;
        // Milliseconds of wall time to glFinish and of this thread's CPU up to the end of RenderFrame.
        auto frame = [&](ztengine::GLRenderer3D& renderer, renderertest::DemoScene& scene, double& wall, double& cpu) {
            scene.skeleton.SetAnimationTime(phase);
            glFinish();
            const double startWall = ztbench::WallSeconds();
            const double startCpu = ztbench::ThreadCpuSeconds();
            renderer.RenderFrame(1.0f / 60.0f);
            cpu = 1000.0 * (ztbench::ThreadCpuSeconds() - startCpu);
            glFinish();
            wall = 1000.0 * (ztbench::WallSeconds() - startWall);
            glfwSwapBuffers(window);
        };
        double wall = 0.0;
        double cpu = 0.0;
        for (int i = 0; i < kWarmUpFrames; ++i) {
            frame(plain, plainScene, wall, cpu);
            frame(withPreviews, previewScene, wall, cpu);
        }

        ztbench::RatioTable ratios({"hidden previews / scene alone, wall", "hidden previews / scene alone, CPU"});
        std::vector<double> allWall[2];
        std::vector<double> allCpu[2];
        for (int round = 0; round < rounds; ++round) {
            std::vector<double> walls[2];
            std::vector<double> cpus[2];
            for (int i = 0; i < frames; ++i) {
                phase = phase >= 1.0f ? 0.0f : phase + 0.01f;
                for (int turn = 0; turn < 2; ++turn) {
                    const int v = (turn + i) % 2;
                    frame(v == 0 ? plain : withPreviews, v == 0 ? plainScene : previewScene, wall, cpu);
                    walls[v].push_back(wall);
                    cpus[v].push_back(cpu);
                }
            }
            ratios.AddRound({ztbench::Median(walls[1]) / ztbench::Median(walls[0]),
                             ztbench::Median(cpus[1]) / ztbench::Median(cpus[0])});
            for (int v = 0; v < 2; ++v) {
                allWall[v].insert(allWall[v].end(), walls[v].begin(), walls[v].end());
                allCpu[v].insert(allCpu[v].end(), cpus[v].begin(), cpus[v].end());
            }
        }
        std::printf("renderer: %s\n", reinterpret_cast<const char*>(glGetString(GL_RENDERER)));
        std::printf("frame at %d x %d, effects off, %d frames per variant in each of %d rounds, interleaved\n",
                    kWidth, kHeight, frames, rounds);
        std::printf("median frame: scene alone %.2f ms (engine CPU %.2f ms), with hidden previews %.2f ms "
                    "(engine CPU %.2f ms)\n",
                    ztbench::Median(allWall[0]), ztbench::Median(allCpu[0]), ztbench::Median(allWall[1]),
                    ztbench::Median(allCpu[1]));
        ratios.Print("frame time against the scene alone");
        if (glGetError() != GL_NO_ERROR) {
            std::fprintf(stderr, "bench_frame: the frame left a GL error\n");
            result = 1;
        }
        withPreviews.Shutdown();
        plain.Shutdown();
    }
    glfwDestroyWindow(window);
    glfwTerminate();
    return result;
}
