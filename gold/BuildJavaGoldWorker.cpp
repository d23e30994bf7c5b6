#include "gold/BuildJavaGoldWorker.h"

#include "app/Logger.h"

BuildJavaGoldWorker::BuildJavaGoldWorker(const Classpath &classpath,
                                         const QString &goldFile,
                                         QObject *parent)
    : Worker(parent)
    , classpath(classpath)
    , goldFile(goldFile)
{
}

void BuildJavaGoldWorker::doWork()
{
    emit Logger::logger->log(Logger::L_INFO, QString("Building Java Gold file %1").arg(goldFile));
}
