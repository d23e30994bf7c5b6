#pragma once

#include "base/Classpath.h"
#include "conformance/Tests.h"

#include <QList>
#include <QString>

#include <memory>

class SegmentTestWorker;

/// What a segment test is given: every recipe reads what it needs of these.
struct SegmentInputs
{
    Classpath test;
    QString tssGold; // null where none was named
    Classpath framework;
};

/// One segment test as the command line, the window and the workers know it. A new segment is a
/// row of the table plus its recipe: its command option, its help line, its check of the inputs
/// and its worker come from the row, and the window offers it once the form has its button.
struct Segment
{
    using Recipe = int (*)(const SegmentInputs &inputs, const Tests::OutcomeHandler &onOutcome);
    using WorkerFactory = std::unique_ptr<SegmentTestWorker> (*)(const SegmentInputs &inputs);

    int command; // the code stored in Options::command
    const char *option; // "testpss"
    const char *help; // "Test a PSS."
    const char *title; // "PSS", which also names the window's button: "segment_PSS"
    bool needsTssGold;
    Recipe recipe;
    const char *logLine; // "Running PSS test"
    /// Makes the worker class that the segment's run is known by; a row without one is run by a
    /// plain SegmentTestWorker.
    WorkerFactory worker = nullptr;

    std::unique_ptr<SegmentTestWorker> createWorker(const SegmentInputs &inputs) const;

    /// The rows in the order of their command codes.
    static const QList<Segment> &all();
    /// The row of a command code, or null when the command is not a segment test.
    static const Segment *forCommand(int command);
    /// The row whose worker factory this is; the program stops if there is none.
    static const Segment &ofWorker(WorkerFactory worker);
};
