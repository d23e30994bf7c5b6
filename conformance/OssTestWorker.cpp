#include "conformance/OssTestWorker.h"

#include "app/Logger.h"
#include "conformance/Tests.h"

OssTestWorker::OssTestWorker(const Classpath &test, QObject *parent)
    : SegmentTestWorker(parent)
    , test(test)
{
}

void OssTestWorker::doWork()
{
    emit Logger::logger->log(Logger::L_INFO, "Running OSS test");
    Tests::oss(test, reporter());
}
