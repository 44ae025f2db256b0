#pragma once
// Shared pieces of the resource tests: whole-file reads and writes in a scratch folder, and an
// application that offers only its job queue.
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "support/HeadlessApp.h"
#include "support/TestSupport.h"
#include "core/App.h"

namespace zttest {

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
