#pragma once

#include "report/ResultsFile.h"

#include <QList>
#include <QString>

/// The files a test run writes into the log directory, prepared when the run starts: the previous
/// run's go, and a directory that cannot take new ones is said before the test takes its time.
/// At the end they tell which of them this run wrote, so that nothing names a file that is not
/// this run's.
class RunOutputs
{
public:
    /// One output of the run as its summaries name it.
    struct File
    {
        QString label; // "Results file"
        QString path; // absolute
        bool written = false;
        /// Not written, and a file of an earlier run is still there.
        bool earlierRunsFile = false;
    };

    explicit RunOutputs(const QString &logDir);

    ResultsFile text;
    ResultsFile junit;
    ResultsFile page;

    /// Each output, log.txt last, with whether this run wrote it (log.txt: so far).
    QList<File> getFiles() const;

private:
    QString logPath;
};
