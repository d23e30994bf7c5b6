#pragma once

#include "base/Classpath.h"
#include "conformance/SegmentTestWorker.h"

#include <QObject>
#include <QString>

/// Runs the TSS with type abstraction test recipe on its worker thread (the testtssabs command).
class TssAbsTestWorker : public SegmentTestWorker
{
    Q_OBJECT
public:
    TssAbsTestWorker(const Classpath &test,
                     const QString &tssGold,
                     const Classpath &framework,
                     QObject *parent = nullptr);
};
