#pragma once

#include "base/Worker.h"
#include "conformance/Segment.h"
#include "conformance/Tests.h"

#include <QMetaType>
#include <QObject>

#include <memory>
#include <type_traits>

/// Runs one row of the segment table on its worker thread: logs the row's line and calls its
/// recipe with copies of the inputs. The seven named segment workers are this with a name and
/// the constructor of their own. Besides the files it writes, a run hands what it found to the one
/// who started it, through reported(), which arrives before done().
class SegmentTestWorker : public Worker
{
    Q_OBJECT
public:
    /// parent must be null, as for every worker.
    SegmentTestWorker(const Segment &segment,
                      const SegmentInputs &inputs,
                      QObject *parent = nullptr);

    /// A named worker W made from the inputs its constructor takes, which are those its recipe
    /// reads, in the order test, TSS gold file, framework.
    template<class W> static std::unique_ptr<SegmentTestWorker> make(const SegmentInputs &inputs)
    {
        if constexpr (std::is_constructible_v<W,
                                              const Classpath &,
                                              const QString &,
                                              const Classpath &>)
            return std::make_unique<W>(inputs.test, inputs.tssGold, inputs.framework);
        else if constexpr (std::is_constructible_v<W, const Classpath &, const Classpath &>)
            return std::make_unique<W>(inputs.test, inputs.framework);
        else
            return std::make_unique<W>(inputs.test);
    }

    /// The row whose worker is W: a named worker runs what its row says.
    template<class W> static const Segment &rowOf() { return Segment::ofWorker(&make<W>); }

signals:
    /// Emitted on the worker thread once per run, also when a test was cut short.
    void reported(std::shared_ptr<const Tests::Outcome> outcome);

protected:
    void doWork() override;

private:
    const Segment &segment; // a row of the table, which lives as long as the program
    SegmentInputs inputs;
};

Q_DECLARE_METATYPE(std::shared_ptr<const Tests::Outcome>)
