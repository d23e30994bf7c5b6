#include "conformance/PssTestWorker.h"

PssTestWorker::PssTestWorker(const Classpath &test,
                             const QString &tssGold,
                             const Classpath &framework,
                             QObject *parent)
    : SegmentTestWorker(rowOf<PssTestWorker>(), { test, tssGold, framework }, parent)
{
}
