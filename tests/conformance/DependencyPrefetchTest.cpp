#include "conformance/DependencyPrefetch.h"
#include "loader/ProtoClass.h"

#include "JavaTypes.pb.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <vector>

namespace {

/// A class that only counts how its lists are collected; the record is that of no class at all.
class CountingClass : public ProtoClass
{
public:
    CountingClass()
        : ProtoClass(JClass::default_instance())
    {
    }
    void collectDependencies() const override
    {
        ++collections;
        collected = true;
    }

    mutable std::atomic<int> collections { 0 };
    mutable std::atomic<bool> collected { false };
};

/// The classes of a test and the order it goes through them in; every `repeatEvery`-th class comes
/// twice, as a key held by two classpath entries does.
struct TestOrder
{
    TestOrder(int count, int repeatEvery)
    {
        for (int i = 0; i < count; ++i) {
            classes.push_back(std::make_unique<CountingClass>());
            order.append(classes.back().get());
            if (repeatEvery > 0 && i % repeatEvery == 3)
                order.append(classes.back().get());
        }
    }

    std::vector<std::unique_ptr<CountingClass>> classes;
    QList<const Class *> order;
};

TEST(DependencyPrefetch, EveryClassIsCollectedOnceBeforeTheTestReachesIt)
{
    const TestOrder test(50, 10);
    const QList<const Class *> &order = test.order;
    DependencyPrefetch prefetch(order, 4);
    for (int position = 0; position < order.size(); ++position) {
        prefetch.reach(position);
        EXPECT_TRUE(static_cast<const CountingClass *>(order.at(position))->collected) << position;
    }
    for (const auto &cls : test.classes)
        EXPECT_EQ(cls->collections, 1);
}

TEST(DependencyPrefetch, ATestThatStopsEarlyEndsTheHelper)
{
    const TestOrder test(100, 0);
    {
        DependencyPrefetch prefetch(test.order, 8);
        prefetch.reach(0);
    }
    int collected = 0;
    for (const auto &cls : test.classes)
        collected += cls->collections;
    EXPECT_LE(collected, 8); // never more than the window ahead of where the test stopped
}

} // namespace
