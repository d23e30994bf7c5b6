#include "conformance/TssAbsIfaceTestWorker.h"

#include "conformance/Tests.h"

TssAbsIfaceTestWorker::TssAbsIfaceTestWorker(const Classpath &test,
                                             const Classpath &framework,
                                             QObject *parent)
    : SegmentTestWorker(
        "Running TSS Abstraction Interface test",
        [=](const Tests::OutcomeHandler &onOutcome) {
            Tests::tssabsiface(test, framework, onOutcome);
        },
        parent)
{
}
