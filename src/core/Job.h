#pragma once
// A unit of loading work in the application's job queue.
#include <functional>

namespace ztengine {

// Returns true when its work is done and it may leave the queue; false keeps it at the front,
// to be called again on the next turn (a job may wait for something another job prepares).
using Job = std::function<bool()>;

}  // namespace ztengine
