#include "conformance/TssAbsTestWorker.h"

#include "conformance/Tests.h"

TssAbsTestWorker::TssAbsTestWorker(const Classpath &test,
                                   const QString &tssGold,
                                   const Classpath &framework,
                                   QObject *parent)
    : SegmentTestWorker(
        "Running TSS with Type Abstraction test",
        [=](const Tests::OutcomeHandler &onOutcome) {
            Tests::tssabs(test, tssGold, framework, onOutcome);
        },
        parent)
{
}
