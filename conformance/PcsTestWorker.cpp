#include "conformance/PcsTestWorker.h"

PcsTestWorker::PcsTestWorker(const Classpath &test,
                             const QString &tssGold,
                             const Classpath &framework,
                             QObject *parent)
    : SegmentTestWorker(rowOf<PcsTestWorker>(), { test, tssGold, framework }, parent)
{
}
