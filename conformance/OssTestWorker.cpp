#include "conformance/OssTestWorker.h"

#include "conformance/Tests.h"

OssTestWorker::OssTestWorker(const Classpath &test, QObject *parent)
    : SegmentTestWorker(
        "Running OSS test",
        [=](const Tests::OutcomeHandler &onOutcome) { Tests::oss(test, onOutcome); },
        parent)
{
}
