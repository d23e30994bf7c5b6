#include "base/DataDirectory.h"

#include <QDir>
#include <QFileInfo>

namespace {

const QString inWorkingDirectory = QStringLiteral("data");

// Every test reads the Java SE gold file: a directory without it is no data directory, whatever
// else it holds (a project's own data/, say).
bool holdsReferenceData(const QString &dir)
{
    return QFileInfo(dir + "/j2se8.javagold").isFile();
}

} // namespace

namespace DataDirectory {

QString find(const QString &given)
{
    if (!given.isEmpty())
        return given;
    if (holdsReferenceData(inWorkingDirectory))
        return inWorkingDirectory;
    const QString installation = installed();
    if (!installation.isEmpty() && holdsReferenceData(installation))
        return installation;
    return inWorkingDirectory;
}

QString installed()
{
    const QString program = QFileInfo("/proc/self/exe").canonicalFilePath();
    return program.isEmpty() ? QString() : installedBeside(program);
}

QString installedBeside(const QString &program)
{
    return QDir::cleanPath(QFileInfo(program).absolutePath() + "/../share/javaconformance/data");
}

} // namespace DataDirectory
