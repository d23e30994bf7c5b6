#include "support/ProcessRunner.h"

#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>

namespace {
/// Far beyond any sound run; only a hanging program reaches it.
const int hangLimitMs = 30000;
} // namespace

ProcessRunner::ProcessRunner(const QString &program)
    : program(program)
{
}

ProcessRunner::Result ProcessRunner::run(const QStringList &arguments) const
{
    QProcess process;
    process.setWorkingDirectory(dir.path());
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    for (const auto &change : environmentChanges) {
        if (change.second.isEmpty())
            environment.remove(change.first);
        else
            environment.insert(change.first, change.second);
    }
    process.setProcessEnvironment(environment);
    process.start(program, arguments);
    Result result;
    if (!process.waitForFinished(hangLimitMs)) {
        process.kill();
        process.waitForFinished();
    } else {
        result.exitedNormally = process.exitStatus() == QProcess::NormalExit;
        result.exitCode = process.exitCode();
    }
    result.out = process.readAllStandardOutput();
    result.err = process.readAllStandardError();
    return result;
}

void ProcessRunner::setEnvironment(const QString &name, const QString &value)
{
    environmentChanges.append({ name, value });
}

QString ProcessRunner::path(const QString &relative) const
{
    return dir.filePath(relative);
}

QByteArray ProcessRunner::readFile(const QString &relative) const
{
    QFile file(path(relative));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
