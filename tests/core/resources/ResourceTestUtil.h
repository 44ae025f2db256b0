#pragma once
// Shared pieces of the resource tests: whole-file reads and writes in a scratch folder, and an
// application that offers only its job queue.
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "support/HeadlessApp.h"
#include "core/App.h"

namespace zttest {

inline std::string ReadBytes(const std::filesystem::path& path)
{
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

inline void WriteBytes(const std::filesystem::path& path, const std::string& bytes)
{
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file << bytes;
}

// The loading jobs need nothing of the application but its queue.
class JobQueueApp : public zttest::HeadlessApp {
public:

    // Runs every queued job, one call per job as the loading screen does; returns the calls.
    int DrainJobs()
    {
        int calls = 0;
        while (HasPendingJobs()) {
            RunNextJob();
            ++calls;
        }
        return calls;
    }
};

}  // namespace zttest
