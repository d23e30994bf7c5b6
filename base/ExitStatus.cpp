#include "base/ExitStatus.h"

#include <atomic>

namespace {

// Set by a worker thread, read by the main thread after that worker was joined.
std::atomic<bool> lost { false };
std::atomic<int> verdict { 0 };

} // namespace

void ExitStatus::outputLost()
{
    lost = true;
}

void ExitStatus::verdictReached(int verdictStatus)
{
    verdict = verdictStatus;
}

int ExitStatus::get(bool followVerdict)
{
    if (lost)
        return OUTPUT_LOST;
    return followVerdict ? verdict.load() : 0;
}
