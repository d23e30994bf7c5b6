#include "conformance/ResultsFile.h"

#include "app/AtomicFile.h"
#include "app/ExitStatus.h"
#include "app/Logger.h"
#include "conformance/RUtil.h"

#include <QFile>
#include <QFileInfo>

namespace {

void fail(const QString &message)
{
    logLine(Logger::L_ERROR, message);
    ExitStatus::outputLost();
}

} // namespace

ResultsFile::ResultsFile(const QString &path)
    : path(path)
{
    // Only a regular file is an earlier run's results: a device or a pipe named so is the
    // user's, and is written, not removed.
    if (QFileInfo(path).isFile())
        QFile::remove(path);
    // The file is made only at the end, so that a killed run leaves none; whether it can be is
    // known now.
    usable = AtomicFile(path).open();
    if (!usable)
        fail(QString("Unable to open results file for writing %1").arg(path));
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
    AtomicFile file(path);
    if (!file.open()) {
        fail(QString("Unable to open results file for writing %1").arg(path));
        return;
    }
    writeContent(file.stream());
    if (!file.commit())
        fail(QString("Could not write results file %1. %2").arg(path, file.errorString()));
}
