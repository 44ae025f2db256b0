#include "core/util/FileUtils.h"

#include <fnmatch.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "platform/MessageBox.h"

namespace ztengine {

namespace {

// The caption a message box gets when none is given.
constexpr const char* kDefaultCaption = "Error";

void ReportProblem(const std::string& text)
{
    std::printf("%s\n", text.c_str());
    std::fflush(stdout);
    ztplatform::ShowMessageBox(kDefaultCaption, text);
}

char LowerAscii(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// Names in the order a Windows folder listing gave them (case does not matter); names equal but
// for case keep a fixed order so that every run lists the same way.
bool NameLess(const std::string& a, const std::string& b)
{
    const bool less = std::lexicographical_compare(
        a.begin(), a.end(), b.begin(), b.end(),
        [](char x, char y) { return static_cast<unsigned char>(LowerAscii(x)) <
                                    static_cast<unsigned char>(LowerAscii(y)); });
    if (less)
        return true;
    const bool greater = std::lexicographical_compare(
        b.begin(), b.end(), a.begin(), a.end(),
        [](char x, char y) { return static_cast<unsigned char>(LowerAscii(x)) <
                                    static_cast<unsigned char>(LowerAscii(y)); });
    return !greater && a < b;
}

}  // namespace

void ListFiles(const std::string& pattern, std::vector<std::string>& out)
{
    namespace fs = std::filesystem;
    const size_t slash = pattern.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : pattern.substr(0, slash + 1);
    const std::string namePattern = slash == std::string::npos ? pattern : pattern.substr(slash + 1);

    std::vector<std::string> found;
    std::error_code error;
    fs::directory_iterator it(folder, error);
    if (!error) {
        for (; it != fs::directory_iterator(); it.increment(error)) {
            std::string name = it->path().filename().string();
            if (fnmatch(namePattern.c_str(), name.c_str(), FNM_CASEFOLD) == 0)
                found.push_back(std::move(name));
        }
    }
    if (found.empty()) {
        ReportProblem("No files found for: " + pattern);
        return;
    }
    std::sort(found.begin(), found.end(), NameLess);
    out.insert(out.end(), std::make_move_iterator(found.begin()),
               std::make_move_iterator(found.end()));
}

std::string ReadTextFile(const std::string& path)
{
    std::error_code error;
    // A folder opens for reading on Linux but not on Windows, where this was a plain failure.
    std::ifstream file;
    if (!std::filesystem::is_directory(path, error))
        file.open(path, std::ios::in | std::ios::binary);
    if (!file.is_open()) {
        ReportProblem("Error loading file: " + path);
        return {};
    }
    // Read to the end instead of measuring first: a pipe or device has no size to measure.
    std::string text{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};

    // Text mode as the game was made with it: CR LF arrives as LF; a lone CR stays.
    size_t kept = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            continue;
        text[kept++] = text[i];
    }
    text.resize(kept);
    return text;
}

}  // namespace ztengine
