#include "app/Startup.h"

#include "app/CLI.h"
#include "base/ExitStatus.h"
#include "base/FileNameCodec.h"
#include "base/LogDirectory.h"
#include "base/LogDirectoryLock.h"
#include "base/Logger.h"
#include "base/Options.h"

#include <QCoreApplication>
#include <QTimer>

#include <cstdio>

namespace {

// libarchive converts every jar entry's time stamp to local time, and without TZ glibc checks
// /etc/localtime again on each conversion: one system call per entry. Naming the same zone file
// in TZ lets glibc read it once. Set before any thread exists, as setenv requires.
void pinLocalTimeZone()
{
    if (!qEnvironmentVariableIsSet("TZ"))
        qputenv("TZ", ":/etc/localtime");
}

} // namespace

void Startup::readOptions(int argc, char **argv)
{
    pinLocalTimeZone();
    // Before the arguments are turned into text, so that a path that is not UTF-8 stays the path.
    FileNameCodec::install();
    // Before any application object exists, so Qt's own options are refused as unknown arguments.
    Options::opts->set(argc, argv);
}

int Startup::run(int &argc, char **argv, Mode mode)
{
    // Before the log is opened, which would truncate the other run's log.txt. The log says why
    // a directory could not be made.
    LogDirectory::create(Options::opts->logDir);
    const LogDirectoryLock lock(Options::opts->logDir);
    if (lock.isHeldElsewhere()) {
        std::fprintf(stderr,
                     "The log directory %s is in use by another run.\n",
                     Options::opts->logDir.toLocal8Bit().constData());
        return 1;
    }
    Logger::init(Options::opts->logDir);
    const int status = mode(argc, argv);
    // The window runs any number of tests: only a console command has one verdict to follow.
    const bool followVerdict = !Options::opts->gui && Options::opts->verdictStatus;
    return status != 0 ? status : ExitStatus::get(followVerdict);
}

int Startup::runConsole(int &argc, char **argv)
{
    QCoreApplication app(argc, argv);
    logLine(Logger::L_INFO, "Starting in console mode.");
    logLine(Logger::L_INFO, QString("Classpath: %1").arg(Options::opts->classpath.toString()));
    CLI cli;
    QTimer::singleShot(0, &cli, &CLI::begin);
    const int status = app.exec();
    // The worker logs its last lines after done(); its thread has been joined, so they have all
    // been handed to the logger by now.
    Logger::logger->flush();
    return status;
}
