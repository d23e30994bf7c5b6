#include "conformance/TssTestWorker.h"

#include "app/Logger.h"
#include "conformance/Tests.h"

TssTestWorker::TssTestWorker(const Classpath &test,
                             const QString &tssGold,
                             const Classpath &framework,
                             QObject *parent)
    : SegmentTestWorker(parent)
    , test(test)
    , tssGold(tssGold)
    , framework(framework)
{
}

void TssTestWorker::doWork()
{
    emit Logger::logger->log(Logger::L_INFO, "Running TSS test");
    Tests::tss(test, tssGold, framework, reporter());
}
