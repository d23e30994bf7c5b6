#include "conformance/TssAbsIfaceTestWorker.h"

TssAbsIfaceTestWorker::TssAbsIfaceTestWorker(const Classpath &test,
                                             const Classpath &framework,
                                             QObject *parent)
    : SegmentTestWorker(rowOf<TssAbsIfaceTestWorker>(), { test, QString(), framework }, parent)
{
}
