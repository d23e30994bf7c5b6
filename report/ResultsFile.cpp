#include "report/ResultsFile.h"

#include "base/AtomicFile.h"
#include "base/ExitStatus.h"
#include "base/LogDirectory.h"
#include "base/Logger.h"
#include "report/RUtil.h"

#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>

namespace {

void fail(const QString &message)
{
    logLine(Logger::L_ERROR, message);
    ExitStatus::outputLost();
}

/// A regular file or a link at the path: something an earlier run may have left. A device or a
/// pipe of that name is the user's.
bool holdsFileOrLink(const QString &path)
{
    struct stat status;
    if (::lstat(QFile::encodeName(path).constData(), &status) != 0)
        return false;
    return S_ISREG(status.st_mode) || S_ISLNK(status.st_mode);
}

} // namespace

ResultsFile::ResultsFile(const QString &path)
    : path(path)
{
    // Said once, when the program started: the files meant for the directory are simply lost.
    if (!LogDirectory::problemOf(QFileInfo(path).path()).isEmpty()) {
        ExitStatus::outputLost();
        return;
    }
    if (holdsFileOrLink(path))
        QFile::remove(path);
    // The file is made only at the end, so that a killed run leaves none; whether it can be is
    // known now. Where the old one is written in place, opening it empties it.
    usable = AtomicFile(path, AtomicFile::WriteInPlace).open();
    earlierRunsFile = !usable && holdsFileOrLink(path);
    if (!usable)
        fail(QString("Unable to open results file for writing %1").arg(path));
    if (earlierRunsFile) {
        logLine(Logger::L_ERROR,
                QString("The results file %1 is an earlier run's: it could be neither removed nor "
                        "written.")
                    .arg(path));
    }
}

void ResultsFile::write(const TestResultGroup &root)
{
    put([&root](std::ostream &out) { ::write(out, root, 0); });
}

void ResultsFile::write(const QByteArray &content)
{
    put([&content](std::ostream &out) { out.write(content.constData(), content.size()); });
}

void ResultsFile::put(const std::function<void(std::ostream &out)> &writeContent)
{
    if (!usable)
        return;
    AtomicFile file(path, AtomicFile::WriteInPlace);
    if (!file.open()) {
        fail(QString("Unable to open results file for writing %1").arg(path));
        return;
    }
    writeContent(file.stream());
    written = file.commit();
    if (!written)
        fail(QString("Could not write results file %1. %2").arg(path, file.errorString()));
}
