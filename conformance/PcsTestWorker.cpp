#include "conformance/PcsTestWorker.h"

#include "app/Logger.h"
#include "conformance/Tests.h"

PcsTestWorker::PcsTestWorker(const Classpath &test,
                             const QString &tssGold,
                             const Classpath &framework,
                             QObject *parent)
    : SegmentTestWorker(parent)
    , test(test)
    , tssGold(tssGold)
    , framework(framework)
{
}

void PcsTestWorker::doWork()
{
    emit Logger::logger->log(Logger::L_INFO, "Running PCS test");
    Tests::pcs(test, tssGold, framework, reporter());
}
