#include "conformance/Segment.h"

#include "base/Options.h"
#include "conformance/SegmentTestWorker.h"
#include "support/LogCapture.h"

#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

namespace {

SegmentInputs received; // by the recipe of the segment made up below, on its worker's thread

int recipeOfANewSegment(const SegmentInputs &inputs, const Tests::OutcomeHandler &)
{
    received = inputs;
    return 0;
}

} // namespace

// The console and the window start a segment test through its row: each command still makes the
// worker of the name it always had, and nothing else is taken for a segment test.
TEST(Segment, EachTestCommandMakesTheWorkerNamedForIt)
{
    const char *const workers[]
        = { "PcsTestWorker",    "PssTestWorker",         "OssTestWorker", "TssTestWorker",
            "TssAbsTestWorker", "TssAbsIfaceTestWorker", "IosTestWorker" };
    ASSERT_EQ(Segment::all().size(), int(std::size(workers)));
    for (int command = 1; command <= int(std::size(workers)); ++command) {
        const Segment *segment = Segment::forCommand(command);
        ASSERT_NE(segment, nullptr) << command;
        EXPECT_EQ(segment->command, command);
        EXPECT_STREQ(segment->createWorker({})->metaObject()->className(), workers[command - 1]);
    }
    for (const int other :
         { int(Options::C_NONE), int(Options::C_BUILDJAVAGOLD), int(Options::C_LISTCONTENTS) })
        EXPECT_EQ(Segment::forCommand(other), nullptr) << other;
}

TEST(Segment, ARowWithoutAWorkerOfItsOwnLogsItsLineAndRunsItsRecipeOnTheInputs)
{
    const Segment row {
        10, "testnew", "Test a NEW.", "NEW", true, &recipeOfANewSegment, "Running NEW test"
    };
    LogCapture log;
    const std::unique_ptr<SegmentTestWorker> worker
        = row.createWorker({ Classpath("a.jar:b.jar"), "new.javagold", Classpath("f.jar") });
    QSignalSpy done(worker.get(), &Worker::done);
    QMetaObject::invokeMethod(worker.get(), &Worker::work, Qt::QueuedConnection);
    // The worker's thread may signal before wait() takes its count, and wait() would then miss
    // it: the count is what is waited for.
    ASSERT_TRUE(QTest::qWaitFor([&done] { return done.count() > 0; }, 5000));
    EXPECT_TRUE(log.contains(Logger::L_INFO, "Running NEW test"));
    EXPECT_EQ(received.test, QStringList({ "a.jar", "b.jar" }));
    EXPECT_EQ(received.tssGold, "new.javagold");
    EXPECT_EQ(received.framework, QStringList({ "f.jar" }));
}
