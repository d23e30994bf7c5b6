#include "conformance/IosTestWorker.h"

#include "conformance/Tests.h"

IosTestWorker::IosTestWorker(const Classpath &test, const Classpath &framework, QObject *parent)
    : SegmentTestWorker(
        "Running IOS test",
        [=](const Tests::OutcomeHandler &onOutcome) { Tests::ios(test, framework, onOutcome); },
        parent)
{
}
