#include "base/Worker.h"

#include "base/Logger.h"

#include <exception>

Worker::Worker(QObject *parent)
    : QObject(parent)
{
    moveToThread(&thread);
    thread.start(QThread::InheritPriority);
    logLine(Logger::L_DEBUG, "Worker thread started");
}

Worker::~Worker()
{
    logLine(Logger::L_DEBUG, "Waiting on worker thread to end");
    thread.quit();
    thread.wait();
    logLine(Logger::L_DEBUG, "Workered thread ended");
}

void Worker::work()
{
    logLine(Logger::L_DEBUG, "Worker thread beginning work");
    try {
        doWork();
    } catch (const std::exception &e) {
        logLine(
            Logger::L_ERROR,
            QString("Work interrupted by exception - %1").arg(QString::fromLocal8Bit(e.what())));
    } catch (...) {
        logLine(Logger::L_ERROR, "Work interrupt by unknown exception");
    }
    // Before done(): its receiver logs lines of its own at once, and which came first would
    // otherwise differ from run to run.
    logLine(Logger::L_DEBUG, "Worker thread ended work");
    emit done();
}
