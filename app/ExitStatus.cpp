#include "app/ExitStatus.h"

#include <atomic>

namespace {

// Set by a worker thread, read by the main thread after that worker was joined.
std::atomic<int> status { 0 };

} // namespace

void ExitStatus::outputLost()
{
    status = OUTPUT_LOST;
}

int ExitStatus::get()
{
    return status;
}
