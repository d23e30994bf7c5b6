#pragma once

#include "base/Worker.h"
#include "conformance/Tests.h"

#include <QMetaType>
#include <QObject>
#include <QString>

#include <functional>
#include <memory>

/// Base of the seven recipe workers, which differ only in the line they log and the recipe they
/// run: each hands both over when it is made, the recipe holding copies of its arguments. Besides
/// the files it writes, a run hands what it found to the one who started it, through reported(),
/// which arrives before done().
class SegmentTestWorker : public Worker
{
    Q_OBJECT
public:
    /// The recipe's result is always 0 and tells nothing.
    using Recipe = std::function<void(const Tests::OutcomeHandler &onOutcome)>;

signals:
    /// Emitted on the worker thread once per run, also when a test was cut short.
    void reported(std::shared_ptr<const Tests::Outcome> outcome);

protected:
    /// parent must be null, as for every worker.
    SegmentTestWorker(const QString &startLine, Recipe recipe, QObject *parent);

    void doWork() override;

private:
    QString startLine;
    Recipe recipe;
};

Q_DECLARE_METATYPE(std::shared_ptr<const Tests::Outcome>)
