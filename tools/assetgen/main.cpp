// assetgen: writes every picture, font, model, animation and sound the game loads into a runtime folder.
//   assetgen RUNTIME_DIR [--regular-font FILE] [--bold-font FILE] [--threads N]
//                        [--sprite-sheet FILE] [--texture-sheet FILE]
#include "assetgen/Assetgen.h"
#include "assetgen/ModelGenerator.h"
#include "assetgen/SoundGenerator.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr,
                     "usage: %s RUNTIME_DIR [--regular-font FILE] [--bold-font FILE] [--threads N]\n"
                     "       [--sprite-sheet FILE] [--texture-sheet FILE]\n",
                     argv[0]);
        return 2;
    }
    assetgen::Options options = assetgen::DefaultOptions(argv[1]);
    std::filesystem::path spriteSheet, textureSheet;
    for (int i = 2; i < argc; ++i) {
        std::string arg = argv[i];
        if (i + 1 >= argc) {
            std::fprintf(stderr, "assetgen: %s needs a value\n", arg.c_str());
            return 2;
        }
        std::string value = argv[++i];
        if (arg == "--regular-font") options.regularFont = value;
        else if (arg == "--bold-font") options.boldFont = value;
        else if (arg == "--threads") options.threads = unsigned(std::strtoul(value.c_str(), nullptr, 10));
        else if (arg == "--sprite-sheet") spriteSheet = value;
        else if (arg == "--texture-sheet") textureSheet = value;
        else {
            std::fprintf(stderr, "assetgen: unknown option %s\n", arg.c_str());
            return 2;
        }
    }

    const auto start = std::chrono::steady_clock::now();
    assetgen::Result pictures = assetgen::Generate(options);
    assetgen::Result fonts = assetgen::CopyFonts(options);
    assetgen::Result models = assetgen::GenerateModels(options);
    assetgen::Result sounds = assetgen::GenerateSounds(options);
    int failures = 0;
    for (const auto* r : {&pictures, &fonts, &models, &sounds})
        for (const std::string& e : r->errors) {
            std::fprintf(stderr, "assetgen: %s\n", e.c_str());
            ++failures;
        }
    std::string error;
    if (!spriteSheet.empty() && !assetgen::WriteSpriteSheet(options.outDir, spriteSheet, options, error)) {
        std::fprintf(stderr, "assetgen: %s\n", error.c_str());
        ++failures;
    }
    if (!textureSheet.empty() && !assetgen::WriteTextureSheet(options.outDir, textureSheet, options, error)) {
        std::fprintf(stderr, "assetgen: %s\n", error.c_str());
        ++failures;
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("assetgen: %d pictures, %d fonts, %zu models and animations, %zu sounds written to %s in %.1f s\n",
                pictures.pictures, fonts.fonts, assetgen::ModelFiles().size(), assetgen::Sounds().size(),
                options.outDir.string().c_str(), seconds);
    return failures == 0 ? 0 : 1;
}
