#include "conformance/IosTestWorker.h"

IosTestWorker::IosTestWorker(const Classpath &test, const Classpath &framework, QObject *parent)
    : SegmentTestWorker(rowOf<IosTestWorker>(), { test, QString(), framework }, parent)
{
}
