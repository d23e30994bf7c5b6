#include "gold/BuildJavaGoldWorker.h"

#include "base/ExitStatus.h"
#include "base/Logger.h"
#include "gold/Pretest.h"

#include <exception>

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
    try {
        Pretest::createGold(classpath, goldFile);
    } catch (const std::exception &e) {
        logLine(Logger::L_ERROR, QString::fromLocal8Bit(e.what()));
        // Whatever stopped it, the gold file asked for was not made.
        ExitStatus::outputLost();
    }
}
