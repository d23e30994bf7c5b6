#pragma once

#include "conformance/SegmentTestWorker.h"
#include "loader/Classpath.h"

#include <QObject>

/// Runs the IOS test recipe on its worker thread (the testios command).
class IosTestWorker : public SegmentTestWorker
{
    Q_OBJECT
public:
    IosTestWorker(const Classpath &test, const Classpath &framework, QObject *parent = nullptr);
};
