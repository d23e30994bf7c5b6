#include "conformance/OssTestWorker.h"

OssTestWorker::OssTestWorker(const Classpath &test, QObject *parent)
    : SegmentTestWorker(rowOf<OssTestWorker>(), { test, QString(), Classpath() }, parent)
{
}
