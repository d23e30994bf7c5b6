#include "conformance/TssAbsTestWorker.h"

TssAbsTestWorker::TssAbsTestWorker(const Classpath &test,
                                   const QString &tssGold,
                                   const Classpath &framework,
                                   QObject *parent)
    : SegmentTestWorker(rowOf<TssAbsTestWorker>(), { test, tssGold, framework }, parent)
{
}
