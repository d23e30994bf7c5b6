#include "base/UnreadInputs.h"

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

bool UnreadInputs::record(const QString &entry, const QString &reason)
{
    return add(Input { entry, reason, false });
}

void UnreadInputs::recordInterruption(const QString &test, const QString &reason)
{
    add(Input { test, reason, true });
}

void UnreadInputs::recordUnchecked(const QString &entry, int count, const QString &reason)
{
    if (isNew(QString("unchecked") + QChar(0) + entry + QChar(0) + reason) && current)
        current->unchecked.append(Unchecked { entry, count, reason });
}

bool UnreadInputs::isNewMessage(const QString &message)
{
    return isNew(QString("message") + QChar(0) + message);
}

bool UnreadInputs::isCollecting()
{
    return current != nullptr;
}

bool UnreadInputs::add(const Input &input)
{
    if (!isNew(input.entry + QChar(0) + input.reason))
        return false;
    if (current)
        current->inputs.append(input);
    return true;
}

// Without a collector everything is news: nobody hears of it but the log.
bool UnreadInputs::isNew(const QString &key)
{
    if (!current)
        return true;
    if (current->seen.contains(key))
        return false;
    current->seen.insert(key);
    return true;
}
