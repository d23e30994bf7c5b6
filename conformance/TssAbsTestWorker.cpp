#include "conformance/TssAbsTestWorker.h"

#include "app/Logger.h"
#include "conformance/Tests.h"

TssAbsTestWorker::TssAbsTestWorker(const Classpath &test,
                                   const QString &tssGold,
                                   const Classpath &framework,
                                   QObject *parent)
    : SegmentTestWorker(parent)
    , test(test)
    , tssGold(tssGold)
    , framework(framework)
{
}

void TssAbsTestWorker::doWork()
{
    emit Logger::logger->log(Logger::L_INFO, "Running TSS with Type Abstraction test");
    Tests::tssabs(test, tssGold, framework, reporter());
}
