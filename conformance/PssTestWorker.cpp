#include "conformance/PssTestWorker.h"

#include "app/Logger.h"
#include "conformance/Tests.h"

PssTestWorker::PssTestWorker(const Classpath &test,
                             const QString &tssGold,
                             const Classpath &framework,
                             QObject *parent)
    : SegmentTestWorker(parent)
    , test(test)
    , tssGold(tssGold)
    , framework(framework)
{
}

void PssTestWorker::doWork()
{
    emit Logger::logger->log(Logger::L_INFO, "Running PSS test");
    Tests::pss(test, tssGold, framework, reporter());
}
