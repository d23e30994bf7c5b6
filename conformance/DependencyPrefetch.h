#pragma once

#include <QList>

#include <condition_variable>
#include <mutex>
#include <thread>

class Class;

/// Collects the dependency lists of the classes an access test goes through on a helper thread,
/// a few classes ahead of the test. Collecting is a third of the test's work and reads nothing
/// but the class itself, while the test thread meanwhile resolves what the earlier classes use.
///
/// The helper touches a class only before the test reaches it and never twice: a class that
/// comes twice in the order is collected again by the test itself. At most `window` classes
/// ahead hold their lists, so memory stays that of a few classes.
class DependencyPrefetch
{
public:
    DependencyPrefetch(const QList<const Class *> &order, int window);
    /// Stops the helper and waits for it.
    ~DependencyPrefetch();
    DependencyPrefetch(const DependencyPrefetch &) = delete;
    DependencyPrefetch &operator=(const DependencyPrefetch &) = delete;

    /// Returns once the helper is done with the class at this position (or will never touch it):
    /// from then on the test thread alone uses it. Positions are asked for in order.
    void reach(int position);

private:
    void run();

    const QList<const Class *> order;
    const int window;
    std::mutex lock;
    std::condition_variable changed;
    int prepared = 0; // positions below it are the test thread's alone
    int reached = 0; // the position the test thread works at
    bool stopping = false;
    std::thread helper;
};
