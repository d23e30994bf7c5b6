#include "JdkJars.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QPair>
#include <QProcess>
#include <QStandardPaths>

#include <iostream>

namespace {

const QString jdkHome = "/usr/lib/jvm/java-17-openjdk-amd64";
const QString dataDir = JCT_BINARY_DIR "/bench-data/listcontents";
const QStringList bigModules { "java.base", "java.desktop", "java.xml" };
const QStringList extraModules { "jdk.compiler", "jdk.localedata" };
const QList<int> cutSizes { 1000, 2000, 4000, 8000, 16000 };

using ModuleClass = QPair<QString, QString>; // module, class file path inside it

QString tool(const QString &name)
{
    const QString inJdk = jdkHome + "/bin/" + name;
    return QFile::exists(inJdk) ? inJdk : QStandardPaths::findExecutable(name);
}

// Class files of a module below dataDir/<module>/classes, relative to that folder, sorted.
QList<ModuleClass> extractModule(const QString &module)
{
    const QString out = dataDir + "/" + module;
    if (!QDir(out).exists()
        && !JdkJars::runTool(tool("jmod"),
                             { "extract", "--dir", out, jdkHome + "/jmods/" + module + ".jmod" }))
        return {};
    QStringList classes;
    QDirIterator it(out + "/classes", { "*.class" }, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString relative = QDir(out + "/classes").relativeFilePath(it.next());
        if (relative != "module-info.class")
            classes << relative;
    }
    classes.sort();
    QList<ModuleClass> found;
    for (const QString &cls : classes)
        found.append({ module, cls });
    return found;
}

QList<ModuleClass> extractModules(const QStringList &modules)
{
    QList<ModuleClass> all;
    for (const QString &module : modules)
        all += extractModule(module);
    return all;
}

// Writes an argument file for jar: "-C dir path" per class, so classes of several modules mix.
QString makeJar(const QString &jarName, const QList<ModuleClass> &classes)
{
    const QString jar = dataDir + "/" + jarName;
    if (QFile::exists(jar))
        return jar;
    if (classes.isEmpty())
        return QString();
    QFile list(jar + ".args");
    if (!list.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return QString();
    for (const ModuleClass &entry : classes)
        list.write(QString("-C %1/classes %2\n").arg(entry.first, entry.second).toLocal8Bit());
    list.close();
    if (!JdkJars::runTool(tool("jar"), { "cf", jarName, "@" + list.fileName() }))
        return QString();
    std::cerr << qPrintable(jarName) << ": " << classes.size() << " classes\n";
    return jar;
}

} // namespace

namespace JdkJars {

bool runTool(const QString &program, const QStringList &arguments, const QString &workDir)
{
    QDir().mkpath(dataDir);
    QProcess process;
    process.setWorkingDirectory(workDir.isEmpty() ? dataDir : workDir);
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.setStandardOutputFile(QProcess::nullDevice());
    process.start(program, arguments);
    if (!process.waitForFinished(-1) || process.exitCode() != 0) {
        std::cerr << "failed: " << program.toStdString() << ' ' << arguments.join(' ').toStdString()
                  << '\n';
        return false;
    }
    return true;
}

QString big()
{
    return makeJar("big.jar", extractModules(bigModules));
}

QString cut(int size)
{
    if (!cutSizes.contains(size))
        return QString();
    const QList<ModuleClass> pool = extractModules(bigModules + extraModules);
    return pool.size() < size ? QString()
                              : makeJar(QString("cut-%1.jar").arg(size), pool.mid(0, size));
}

QString runtime()
{
    QStringList modules;
    for (const QFileInfo &jmod :
         QDir(jdkHome + "/jmods").entryInfoList({ "java.*.jmod" }, QDir::Files, QDir::Name))
        modules << jmod.completeBaseName();
    return makeJar("runtime.jar", extractModules(modules));
}

} // namespace JdkJars
