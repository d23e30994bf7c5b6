#pragma once

#include "base/Classpath.h"
#include "conformance/SegmentTestWorker.h"

#include <QObject>

/// Runs the IOS test recipe on its worker thread (the testios command).
class IosTestWorker : public SegmentTestWorker
{
    Q_OBJECT
public:
    IosTestWorker(const Classpath &test, const Classpath &framework, QObject *parent = nullptr);
};
