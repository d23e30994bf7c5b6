#include "conformance/DependencyPrefetch.h"

#include "loader/Class.h"

#include <QSet>

DependencyPrefetch::DependencyPrefetch(const QList<const Class *> &order, int window)
    : order(order)
    , window(window)
    , helper(&DependencyPrefetch::run, this)
{
}

DependencyPrefetch::~DependencyPrefetch()
{
    {
        std::lock_guard<std::mutex> guard(lock);
        stopping = true;
    }
    changed.notify_all();
    helper.join();
}

void DependencyPrefetch::reach(int position)
{
    std::unique_lock<std::mutex> guard(lock);
    reached = position;
    changed.notify_all();
    changed.wait(guard, [&] { return prepared > position || stopping; });
}

void DependencyPrefetch::run()
{
    QSet<const Class *> seen;
    for (int position = 0; position < order.size(); ++position) {
        {
            std::unique_lock<std::mutex> guard(lock);
            changed.wait(guard, [&] { return position - reached < window || stopping; });
            if (stopping)
                return;
        }
        const Class *cls = order.at(position);
        if (!seen.contains(cls)) {
            seen.insert(cls);
            try {
                cls->collectDependencies();
            } catch (...) {
                // The test thread collects the lists itself and meets the failure there.
            }
        }
        {
            std::lock_guard<std::mutex> guard(lock);
            prepared = position + 1;
        }
        changed.notify_all();
    }
}
