#pragma once

#include "base/Classpath.h"
#include "conformance/SegmentTestWorker.h"

#include <QObject>
#include <QString>

/// Runs the PCS test recipe on its worker thread (the testpcs command).
class PcsTestWorker : public SegmentTestWorker
{
    Q_OBJECT
public:
    PcsTestWorker(const Classpath &test,
                  const QString &tssGold,
                  const Classpath &framework,
                  QObject *parent = nullptr);
};
