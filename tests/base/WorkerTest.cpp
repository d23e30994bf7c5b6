#include "support/CallableWorker.h"
#include "support/LogCapture.h"

#include <QSignalSpy>
#include <gtest/gtest.h>
#include <memory>
#include <stdexcept>

namespace {

class Owner : public QObject
{
    Q_OBJECT
signals:
    void run();
};

/// Runs the job on its thread and waits for done(); returns whether done() arrived.
bool runToCompletion(std::function<void()> job)
{
    Owner owner;
    auto worker = std::make_unique<CallableWorker>(std::move(job));
    QObject::connect(&owner, &Owner::run, worker.get(), &Worker::work);
    QSignalSpy done(worker.get(), &Worker::done);
    emit owner.run();
    // done() may arrive on the worker thread before the wait starts.
    return done.count() > 0 || done.wait(10000);
}

} // namespace

TEST(Worker, JobRunsOnItsOwnThreadAndItsLifecycleIsLoggedAtDebug)
{
    LogCapture log;
    QThread *jobThread = nullptr;
    EXPECT_TRUE(runToCompletion([&] { jobThread = QThread::currentThread(); }));
    EXPECT_NE(jobThread, QThread::currentThread());
    // The two threads interleave; each one's lines keep their order.
    const QStringList lines = log.texts(Logger::L_DEBUG);
    ASSERT_EQ(lines.size(), 5);
    EXPECT_EQ(lines.first(), "Worker thread started");
    EXPECT_LT(lines.indexOf("Worker thread beginning work"),
              lines.indexOf("Worker thread ended work"));
    EXPECT_LT(lines.indexOf("Worker thread beginning work"),
              lines.indexOf("Waiting on worker thread to end"));
    EXPECT_EQ(lines.last(), "Workered thread ended");
}

TEST(Worker, AnExceptionIsLoggedAndDoneStillArrives)
{
    LogCapture log;
    EXPECT_TRUE(runToCompletion([] { throw std::runtime_error("disk on fire"); }));
    EXPECT_TRUE(log.contains(Logger::L_ERROR, "Work interrupted by exception - disk on fire"));
    EXPECT_TRUE(runToCompletion([] { throw 42; }));
    EXPECT_TRUE(log.contains(Logger::L_ERROR, "Work interrupt by unknown exception"));
}

#include "WorkerTest.moc"
