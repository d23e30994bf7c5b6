#include "conformance/TssTestWorker.h"

#include "conformance/Tests.h"

TssTestWorker::TssTestWorker(const Classpath &test,
                             const QString &tssGold,
                             const Classpath &framework,
                             QObject *parent)
    : SegmentTestWorker(
        "Running TSS test",
        [=](const Tests::OutcomeHandler &onOutcome) {
            Tests::tss(test, tssGold, framework, onOutcome);
        },
        parent)
{
}
