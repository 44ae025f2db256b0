// Runs every painter of the inventory on a small pool of threads and writes the files.
#include "assetgen/Assetgen.h"
#include "assetgen/Noise.h"

#include <algorithm>
#include <atomic>
#include <map>
#include <mutex>
#include <thread>

namespace assetgen {

Options DefaultOptions(const std::filesystem::path& outDir)
{
    Options o;
    o.outDir = outDir;
    o.regularFont = FontFiles()[0].source;
    o.boldFont = FontFiles()[1].source;
    return o;
}

static std::map<std::string, Painter> CollectPainters(std::vector<std::string>& errors)
{
    std::map<std::string, Painter> painters;
    for (auto family : {SplashPainters, MenuPainters, HudPainters, MinimapPainters, WorldPainters,
                        MaterialPainters, ParticlePainters, SkyboxPainters}) {
        for (PainterEntry& e : family()) {
            if (!FindPicture(e.path))
                errors.push_back("painter for a picture the inventory does not list: " + e.path);
            else if (!painters.emplace(e.path, std::move(e.paint)).second)
                errors.push_back("two painters for " + e.path);
        }
    }
    for (const PictureSpec& p : Pictures())
        if (!painters.count(p.path)) errors.push_back(std::string("no painter for ") + p.path);
    return painters;
}

Result Generate(const Options& options)
{
    Result result;
    std::map<std::string, Painter> painters = CollectPainters(result.errors);
    if (!result.Ok()) return result;
    {
        Fonts probe(options.regularFont, options.boldFont);
        if (!probe.Ok()) {
            result.errors.push_back("cannot open the fonts " + options.regularFont.string() + " and " +
                                    options.boldFont.string());
            return result;
        }
    }

    // Largest pictures first, so no big one is left running alone at the end.
    std::vector<const PictureSpec*> jobs;
    for (const PictureSpec& p : Pictures()) jobs.push_back(&p);
    std::stable_sort(jobs.begin(), jobs.end(), [](const PictureSpec* a, const PictureSpec* b) {
        return a->width * a->height > b->width * b->height;
    });

    unsigned threads = options.threads;
    if (threads == 0) threads = std::clamp(std::thread::hardware_concurrency(), 1u, 8u);
    std::atomic<size_t> next{0};
    std::atomic<int> written{0};
    std::mutex errorLock;
    auto worker = [&] {
        Fonts fonts(options.regularFont, options.boldFont);
        for (size_t i = next++; i < jobs.size(); i = next++) {
            const PictureSpec& spec = *jobs[i];
            Canvas canvas(spec.width, spec.height);
            PaintContext ctx{spec, fonts, SeedFrom(spec.path)};
            painters.at(spec.path)(canvas, ctx);
            std::string error;
            if (canvas.Width() != spec.width || canvas.Height() != spec.height) {
                error = std::string("painter changed the size of ") + spec.path;
            } else if (SaveImage(canvas, options.outDir / spec.path, spec.format, error)) {
                ++written;
                continue;
            }
            std::lock_guard<std::mutex> lock(errorLock);
            result.errors.push_back(error);
        }
    };
    std::vector<std::thread> pool;
    for (unsigned t = 1; t < threads; ++t) pool.emplace_back(worker);
    worker();
    for (std::thread& t : pool) t.join();
    result.pictures = written;
    std::sort(result.errors.begin(), result.errors.end());
    return result;
}

}  // namespace assetgen
