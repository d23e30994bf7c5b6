#pragma once

#include "base/Classpath.h"
#include "conformance/SegmentTestWorker.h"

#include <QObject>

/// Runs the TSS abstraction interface test recipe on its worker thread (the testtssabsiface
/// command).
class TssAbsIfaceTestWorker : public SegmentTestWorker
{
    Q_OBJECT
public:
    TssAbsIfaceTestWorker(const Classpath &test,
                          const Classpath &framework,
                          QObject *parent = nullptr);
};
