#include "conformance/IosTestWorker.h"

#include "app/Logger.h"
#include "conformance/Tests.h"

IosTestWorker::IosTestWorker(const Classpath &test, const Classpath &framework, QObject *parent)
    : SegmentTestWorker(parent)
    , test(test)
    , framework(framework)
{
}

void IosTestWorker::doWork()
{
    emit Logger::logger->log(Logger::L_INFO, "Running IOS test");
    Tests::ios(test, framework, reporter());
}
