// The game's two fonts: metric-compatible free faces copied in under the names the game opens.
#include "assetgen/Assetgen.h"

namespace assetgen {

Result CopyFonts(const Options& options)
{
    Result result;
    const std::filesystem::path sources[] = {options.regularFont, options.boldFont};
    size_t i = 0;
    for (const FontSpec& f : FontFiles()) {
        const std::filesystem::path& from = sources[i++];
        const std::filesystem::path to = options.outDir / f.path;
        std::error_code ec;
        std::filesystem::create_directories(to.parent_path(), ec);
        std::filesystem::copy_file(from, to, std::filesystem::copy_options::overwrite_existing, ec);
        if (ec)
            result.errors.push_back("cannot copy " + from.string() + " to " + to.string() + ": " + ec.message());
        else
            ++result.fonts;
    }
    return result;
}

}  // namespace assetgen
