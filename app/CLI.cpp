#include "app/CLI.h"

#include "app/ListContentsWorker.h"
#include "base/Options.h"
#include "conformance/Segment.h"
#include "conformance/SegmentTestWorker.h"
#include "gold/BuildJavaGoldWorker.h"

#include <QCoreApplication>

namespace {

/// The worker of the command table for the options' command, or null for no command.
std::unique_ptr<Worker> createWorker(const Options &options)
{
    if (const Segment *segment = Segment::forCommand(options.command)) {
        return segment->createWorker(
            { options.classpath, options.tssGold, options.frameworkClasspath });
    }
    switch (options.command) {
    case Options::C_BUILDJAVAGOLD:
        return std::make_unique<BuildJavaGoldWorker>(options.classpath, options.goldFile, nullptr);
    case Options::C_LISTCONTENTS:
        return std::make_unique<ListContentsWorker>(options.classpath, nullptr);
    default:
        return nullptr;
    }
}

} // namespace

CLI::CLI(QObject *parent)
    : QObject(parent)
{
}

CLI::~CLI() = default;

void CLI::begin()
{
    worker = createWorker(*Options::opts);
    if (!worker) {
        // Nothing will ever signal done(): waiting would hang the process.
        QCoreApplication::quit();
        return;
    }
    connect(this, &CLI::run, worker.get(), &Worker::work);
    connect(worker.get(), &Worker::done, this, &CLI::end);
    emit run();
}

void CLI::end()
{
    // Joins the worker thread, so every line it logged is already queued to this thread.
    worker.reset();
    QCoreApplication::quit();
}
