#pragma once

#include "base/Classpath.h"
#include "conformance/SegmentTestWorker.h"

#include <QObject>

/// Runs the OSS test recipe on its worker thread (the testoss command).
class OssTestWorker : public SegmentTestWorker
{
    Q_OBJECT
public:
    OssTestWorker(const Classpath &test, QObject *parent = nullptr);
};
