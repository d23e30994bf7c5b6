#include "conformance/PcsTestWorker.h"

#include "conformance/Tests.h"

PcsTestWorker::PcsTestWorker(const Classpath &test,
                             const QString &tssGold,
                             const Classpath &framework,
                             QObject *parent)
    : SegmentTestWorker(
        "Running PCS test",
        [=](const Tests::OutcomeHandler &onOutcome) {
            Tests::pcs(test, tssGold, framework, onOutcome);
        },
        parent)
{
}
