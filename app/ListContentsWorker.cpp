#include "app/ListContentsWorker.h"

#include "app/Logger.h"

ListContentsWorker::ListContentsWorker(const Classpath &classpath, QObject *parent)
    : Worker(parent)
    , classpath(classpath)
{
}

void ListContentsWorker::doWork()
{
    emit Logger::logger->log(Logger::L_INFO,
                             QString("Listing contents of %1").arg(classpath.toString()));
}
