#include "support/TestSupport.h"

#include <atomic>
#include <fstream>
#include <iterator>
#include <unistd.h>

namespace zttest {

std::filesystem::path MakeTempDir(const std::string& tag)
{
    static std::atomic<int> counter{0};
    std::filesystem::path dir = std::filesystem::path(ZT_TEST_TMP_DIR) /
        (tag + "-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    return dir;
}

std::string ReadBytes(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteBytes(const std::filesystem::path& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

}  // namespace zttest
