#pragma once

#include "base/Classpath.h"
#include "conformance/SegmentTestWorker.h"

#include <QObject>
#include <QString>

/// Runs the TSS test recipe on its worker thread (the testtss command).
class TssTestWorker : public SegmentTestWorker
{
    Q_OBJECT
public:
    TssTestWorker(const Classpath &test,
                  const QString &tssGold,
                  const Classpath &framework,
                  QObject *parent = nullptr);
};
