#pragma once

#include "TestResult.pb.h"

#include <QByteArray>
#include <QString>

#include <functional>
#include <ostream>

/// One results file of a run (results.txt, results.xml, results.html). The previous run's file
/// goes as soon as the run starts, so that a run that never ends leaves no results that are not
/// its own; the new file appears whole or not at all. A directory that cannot take the file is
/// said at once, not after the whole test. Where the directory takes no new file but its old one
/// can be written, that file is emptied at once and written in place at the end. A symbolic link
/// of that name is replaced, never followed.
class ResultsFile
{
public:
    /// Removes the file at path and tries a new one beside it; a directory that takes no new
    /// file is logged at ERROR and makes the exit status non-zero.
    explicit ResultsFile(const QString &path);

    /// Writes the text form of root and puts the file in place; a failure is logged at ERROR and
    /// makes the exit status non-zero.
    void write(const TestResultGroup &root);
    /// The same with content that is ready (results.xml).
    void write(const QByteArray &content);

    const QString &getPath() const { return path; }
    /// Whether this run wrote the file whole.
    bool isWritten() const { return written; }
    /// Whether a file of an earlier run is still at the path: neither removed nor emptied.
    bool isEarlierRunsFile() const { return earlierRunsFile; }

private:
    void put(const std::function<void(std::ostream &out)> &writeContent);

    QString path;
    bool usable = false;
    bool written = false;
    bool earlierRunsFile = false;
};
