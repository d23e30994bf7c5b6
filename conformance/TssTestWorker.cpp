#include "conformance/TssTestWorker.h"

TssTestWorker::TssTestWorker(const Classpath &test,
                             const QString &tssGold,
                             const Classpath &framework,
                             QObject *parent)
    : SegmentTestWorker(rowOf<TssTestWorker>(), { test, tssGold, framework }, parent)
{
}
