#pragma once

#include "report/RunDescription.h"
#include "report/RunOutputs.h"

#include <QList>
#include <QString>
#include <QStringList>

class Findings;

/// The few lines a test command ends with on standard output: what was tested (the profile, both
/// classpaths, each gold file with its SHA-256, the tester's version, the date, how many classes
/// were checked), the counts, the verdict with its reason, the inputs not read, the distinct
/// findings (most classes first, as many as fit a screen), the findings accepted with their
/// reasons and the accepted entries that matched nothing, the framework hint, where the files are
/// and which reference data was read; a file the run did not write is said to be missing, never
/// named as its output. Log lines stay in the log and on the console as they always were; the
/// summary comes after them.
class ConsoleSummary
{
public:
    /// Findings lines shown at most, causes included; the rest are counted.
    static constexpr int maxFindingLines = 12;
    /// Inputs not read shown at most.
    static constexpr int maxInputLines = 5;
    /// Accepted findings shown at most, each with its reason.
    static constexpr int maxAcceptedFindings = 5;

    /// frameworkHint is empty when it does not apply.
    ConsoleSummary(const RunDescription &run,
                   const Findings &findings,
                   const QString &frameworkHint,
                   const QList<RunOutputs::File> &files,
                   const QString &dataDir);

    const QStringList &getLines() const { return lines; }

    /// Prints the lines on standard output, after every log line sent before. From a worker
    /// thread the printing is queued to the application's thread, where the log is written.
    void print() const;

private:
    void addRun(const RunDescription &run);
    void addInputs(const Findings &findings);
    void addUnchecked(const Findings &findings);
    void addFindings(const Findings &findings);
    void addAccepted(const Findings &findings);
    void addFiles(const QList<RunOutputs::File> &files, const QString &dataDir);

    QStringList lines;
};
