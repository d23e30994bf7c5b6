#include "conformance/PssTestWorker.h"

#include "conformance/Tests.h"

PssTestWorker::PssTestWorker(const Classpath &test,
                             const QString &tssGold,
                             const Classpath &framework,
                             QObject *parent)
    : SegmentTestWorker(
        "Running PSS test",
        [=](const Tests::OutcomeHandler &onOutcome) {
            Tests::pss(test, tssGold, framework, onOutcome);
        },
        parent)
{
}
