#pragma once

#include "base/Worker.h"

#include <functional>

/// A job of the test's own, started the way the console and the window start theirs.
class CallableWorker : public Worker
{
public:
    explicit CallableWorker(std::function<void()> job)
        : Worker(nullptr)
        , job(std::move(job))
    {
    }

protected:
    void doWork() override { job(); }

private:
    std::function<void()> job;
};
