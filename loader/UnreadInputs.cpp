#include "loader/UnreadInputs.h"

namespace {
// Each worker thread runs one job at a time, so one collector per thread is all a run needs.
thread_local UnreadInputs *current = nullptr;
} // namespace

UnreadInputs::UnreadInputs()
    : outer(current)
{
    current = this;
}

UnreadInputs::~UnreadInputs()
{
    current = outer;
}

void UnreadInputs::record(const QString &entry, const QString &reason)
{
    add(Input { entry, reason, false });
}

void UnreadInputs::recordInterruption(const QString &test, const QString &reason)
{
    add(Input { test, reason, true });
}

bool UnreadInputs::isCollecting()
{
    return current != nullptr;
}

void UnreadInputs::add(const Input &input)
{
    if (!current)
        return;
    const QString key = input.entry + QChar(0) + input.reason;
    if (current->seen.contains(key))
        return;
    current->seen.insert(key);
    current->inputs.append(input);
}
