#include "app/CLI.h"

#include "app/ListContentsWorker.h"
#include "base/Options.h"
#include "conformance/IosTestWorker.h"
#include "conformance/OssTestWorker.h"
#include "conformance/PcsTestWorker.h"
#include "conformance/PssTestWorker.h"
#include "conformance/TssAbsIfaceTestWorker.h"
#include "conformance/TssAbsTestWorker.h"
#include "conformance/TssTestWorker.h"
#include "gold/BuildJavaGoldWorker.h"

#include <QCoreApplication>

namespace {

/// The worker of the command table for the options' command, or null for no command.
std::unique_ptr<Worker> createWorker(const Options &options)
{
    switch (options.command) {
    case Options::C_TESTPCS:
        return std::make_unique<PcsTestWorker>(
            options.classpath, options.tssGold, options.frameworkClasspath, nullptr);
    case Options::C_TESTPSS:
        return std::make_unique<PssTestWorker>(
            options.classpath, options.tssGold, options.frameworkClasspath, nullptr);
    case Options::C_TESTOSS:
        return std::make_unique<OssTestWorker>(options.classpath, nullptr);
    case Options::C_TESTTSS:
        return std::make_unique<TssTestWorker>(
            options.classpath, options.tssGold, options.frameworkClasspath, nullptr);
    case Options::C_TESTTSSABS:
        return std::make_unique<TssAbsTestWorker>(
            options.classpath, options.tssGold, options.frameworkClasspath, nullptr);
    case Options::C_TESTTSSABSIFACE:
        return std::make_unique<TssAbsIfaceTestWorker>(
            options.classpath, options.frameworkClasspath, nullptr);
    case Options::C_TESTIOS:
        return std::make_unique<IosTestWorker>(
            options.classpath, options.frameworkClasspath, nullptr);
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
