#pragma once

#include "app/Worker.h"
#include "conformance/Tests.h"

#include <QMetaType>
#include <QObject>

#include <memory>

/// Base of the segment test workers: besides the files it writes, a run hands what it found to
/// the one who started it, through reported(), which arrives before done().
class SegmentTestWorker : public Worker
{
    Q_OBJECT
public:
    /// parent must be null, as for every worker.
    explicit SegmentTestWorker(QObject *parent);

signals:
    /// Emitted on the worker thread once per run, also when a test was cut short.
    void reported(std::shared_ptr<const Tests::Outcome> outcome);

protected:
    /// The handler that the recipes call with what the run found.
    Tests::OutcomeHandler reporter();
};

Q_DECLARE_METATYPE(std::shared_ptr<const Tests::Outcome>)
