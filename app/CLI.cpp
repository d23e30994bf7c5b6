#include "app/CLI.h"

#include "app/ListContentsWorker.h"
#include "app/Options.h"
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
Worker *createWorker(const Options &options)
{
    switch (options.command) {
    case Options::C_TESTPCS:
        return new PcsTestWorker(options.classpath, options.tssGold, options.frameworkClasspath, nullptr);
    case Options::C_TESTPSS:
        return new PssTestWorker(options.classpath, options.tssGold, options.frameworkClasspath, nullptr);
    case Options::C_TESTOSS:
        return new OssTestWorker(options.classpath, nullptr);
    case Options::C_TESTTSS:
        return new TssTestWorker(options.classpath, options.tssGold, options.frameworkClasspath, nullptr);
    case Options::C_TESTTSSABS:
        return new TssAbsTestWorker(options.classpath, options.tssGold, options.frameworkClasspath, nullptr);
    case Options::C_TESTTSSABSIFACE:
        return new TssAbsIfaceTestWorker(options.classpath, options.frameworkClasspath, nullptr);
    case Options::C_TESTIOS:
        return new IosTestWorker(options.classpath, options.frameworkClasspath, nullptr);
    case Options::C_BUILDJAVAGOLD:
        return new BuildJavaGoldWorker(options.classpath, options.goldFile, nullptr);
    case Options::C_LISTCONTENTS:
        return new ListContentsWorker(options.classpath, nullptr);
    default:
        return nullptr;
    }
}

} // namespace

CLI::CLI(QObject *parent)
    : QObject(parent)
{}

CLI::~CLI() = default;

void CLI::begin()
{
    worker.reset(createWorker(*Options::opts));
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
