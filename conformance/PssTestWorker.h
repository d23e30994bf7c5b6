#pragma once

#include "base/Classpath.h"
#include "conformance/SegmentTestWorker.h"

#include <QObject>
#include <QString>

/// Runs the PSS test recipe on its worker thread (the testpss command).
class PssTestWorker : public SegmentTestWorker
{
    Q_OBJECT
public:
    PssTestWorker(const Classpath &test,
                  const QString &tssGold,
                  const Classpath &framework,
                  QObject *parent = nullptr);
};
