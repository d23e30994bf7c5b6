#include "conformance/DependencyPrefetch.h"
#include "loader/ProtoClass.h"

#include "JavaTypes.pb.h"

#include <gtest/gtest.h>

#include <atomic>
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

/// The order a test goes through classes in; every tenth class comes twice, as a key held by two
/// classpath entries does.
QList<const Class *> testOrder(const std::vector<CountingClass> &classes)
{
    QList<const Class *> order;
    for (size_t i = 0; i < classes.size(); ++i) {
        order.append(&classes[i]);
        if (i % 10 == 3)
            order.append(&classes[i]);
    }
    return order;
}

TEST(DependencyPrefetch, EveryClassIsCollectedOnceBeforeTheTestReachesItAndNoMoreAfterItStops)
{
    const std::vector<CountingClass> classes(50);
    const QList<const Class *> order = testOrder(classes);
    DependencyPrefetch prefetch(order, 4);
    for (int position = 0; position < order.size(); ++position) {
        prefetch.reach(position);
        EXPECT_TRUE(static_cast<const CountingClass *>(order.at(position))->collected) << position;
    }
    for (const CountingClass &cls : classes)
        EXPECT_EQ(cls.collections, 1);

    // Never more than the window ahead of where a test that stops early stopped.
    const std::vector<CountingClass> more(100);
    DependencyPrefetch(testOrder(more), 8).reach(0);
    int collected = 0;
    for (const CountingClass &cls : more)
        collected += cls.collections;
    EXPECT_LE(collected, 8);
}

} // namespace
