#include "support/TestSupport.h"

#include <atomic>
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

}  // namespace zttest
