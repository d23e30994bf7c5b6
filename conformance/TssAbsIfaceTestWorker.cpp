#include "conformance/TssAbsIfaceTestWorker.h"

#include "app/Logger.h"
#include "conformance/Tests.h"

TssAbsIfaceTestWorker::TssAbsIfaceTestWorker(const Classpath &test,
                                             const Classpath &framework,
                                             QObject *parent)
    : SegmentTestWorker(parent)
    , test(test)
    , framework(framework)
{
}

void TssAbsIfaceTestWorker::doWork()
{
    emit Logger::logger->log(Logger::L_INFO, "Running TSS Abstraction Interface test");
    Tests::tssabsiface(test, framework, reporter());
}
