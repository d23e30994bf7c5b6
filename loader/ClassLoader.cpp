#include "loader/ClassLoader.h"

#include "base/Logger.h"
#include "base/UnreadInputs.h"
#include "loader/FileSystemClassLoader.h"
#include "loader/JarFileClassLoader.h"
#include "loader/ParentClassLoader.h"
#include "loader/ProtoClassLoader.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <QPair>
#include <QSet>

#include <algorithm>
#include <memory>

#include <sys/stat.h>

namespace {

// The text after the last "." of the file name; the kind of a file entry is decided by it alone.
QString suffixOf(const QString &entry)
{
    return QFileInfo(entry).suffix();
}

QString notFoundReason(const QFileInfo &info)
{
    return QString("not found in %1").arg(info.absolutePath());
}

// A jar that yields no class leaves the component untested without a word from the reader.
// A jar that a Java runtime would refuse was recorded with the reason by its reader.
void checkJar(const JarFileClassLoader &jar, const QString &path)
{
    if (!jar.getClassNames().isEmpty() || !UnreadInputs::isCollecting() || jar.isRefused())
        return;
    const QFileInfo info(path);
    if (!info.exists())
        UnreadInputs::record(path, notFoundReason(info));
    else if (!info.isFile()) // opening a FIFO to look at its start would wait forever
        UnreadInputs::record(path, "is not a regular file");
    else if (!info.isReadable())
        UnreadInputs::record(path, "cannot be read: no read permission");
    else
        UnreadInputs::record(path, "holds no class file");
}

// A directory whose loose files and jars yield no class at all was not read as a component.
bool yieldsNoClass(const FileSystemClassLoader &directory, const QList<JarFileClassLoader *> &jars)
{
    if (directory.getClassFileCount() > 0)
        return false;
    return std::all_of(jars.cbegin(), jars.cend(), [](const JarFileClassLoader *jar) {
        return jar->getClassNames().isEmpty();
    });
}

void addDirectory(ParentClassLoader &chain, const QString &entry, bool repeated)
{
    logLine(Logger::L_DEBUG,
            QString("Treating %1 as a directory of .class and/or .jar files").arg(entry));
    if (repeated)
        return;
    auto directory = std::make_unique<FileSystemClassLoader>(QDir(entry));
    const QList<JarFileClassLoader *> jars = directory->takeJarLoaders();
    if (yieldsNoClass(*directory, jars))
        UnreadInputs::record(entry,
                             jars.isEmpty() ? "holds no .class or .jar file"
                                            : "holds no class file: its jars hold none");
    if (directory->getClassFileCount() > 0)
        chain.addLoader(directory.release(), entry);
    else
        chain.addOwnedLoader(directory.release());
    for (JarFileClassLoader *jar : jars)
        chain.addLoader(jar, jar->getSource());
}

void addJar(ParentClassLoader &chain, const QString &entry, bool repeated)
{
    logLine(Logger::L_DEBUG, QString("Treating %1 as a jar file").arg(entry));
    if (repeated)
        return;
    auto *jar = new JarFileClassLoader(entry);
    chain.addLoader(jar, entry);
    checkJar(*jar, entry);
}

// A gold file that cannot be read is an input not read, like a missing jar: the record says where
// it was looked for, and the rest of the classpath is still searched.
void addGoldFile(ParentClassLoader &chain, const QString &entry)
{
    logLine(Logger::L_DEBUG, QString("Treating %1 as a binary javagold file").arg(entry));
    GoldFile::Opened opened = GoldFile::open(entry);
    if (opened.file) {
        chain.addLoader(new ProtoClassLoader(std::move(opened.file)), entry);
        return;
    }
    logLine(Logger::L_ERROR, opened.problem);
    const QFileInfo info(entry);
    QString reason = opened.problem;
    if (!info.exists())
        reason += ": " + notFoundReason(info);
    UnreadInputs::record(entry, reason);
}

// Entries are told apart by name alone; the usual slips get a reason that names them.
QString unknownKindReason(const QFileInfo &info)
{
    if (!info.exists())
        return notFoundReason(info);
    const QString suffix = info.suffix();
    if (suffix == "class")
        return "is a single class file: name the directory its package starts in instead";
    if (suffix.compare("jar", Qt::CaseInsensitive) == 0
        || suffix.compare("javagold", Qt::CaseInsensitive) == 0)
        return QString("is not named .jar or .javagold: the suffix .%1 differs in case")
            .arg(suffix);
    return "is neither a directory nor a .jar or .javagold file";
}

using FileId = QPair<dev_t, ino_t>;

// A later entry naming the same jar or directory as an earlier one can define nothing the earlier
// one does not: every one of its classes is shadowed, so it is read once. A jar given 21,000
// times took 21,000 listings and made every lookup ask each copy. The recipes name the component
// twice themselves, so a repeat is no mistake to warn of.
bool isRepeatedSource(QSet<FileId> &sources, const QString &entry)
{
    struct stat status;
    if (::stat(QFile::encodeName(entry).constData(), &status) != 0)
        return false;
    if (!S_ISDIR(status.st_mode) && !(S_ISREG(status.st_mode) && suffixOf(entry) == "jar"))
        return false;
    const FileId id(status.st_dev, status.st_ino);
    if (sources.contains(id))
        return true;
    sources.insert(id);
    return false;
}

} // namespace

ClassLoader::~ClassLoader()
{
    while (!cache.isEmpty())
        delete cache.take(cache.firstKey());
}

Class *ClassLoader::loadClass(const QString &name)
{
    if (Class *cached = cache.value(name))
        return cached;
    Class *defined = defineClass(name);
    if (defined)
        cache.insert(name, defined);
    return defined;
}

QMultiMap<QString, QString> ClassLoader::listAllClasses()
{
    loadAllClasses();
    QMultiMap<QString, QString> names;
    for (auto it = cache.cbegin(); it != cache.cend(); ++it)
        names.insert(it.key(), it.value()->getName().toString());
    return names;
}

ClassLoader *ClassLoader::create(const Classpath &classpath)
{
    logLine(Logger::L_DEBUG, QString("Processing classpath: %1").arg(classpath.toString()));
    auto chain = std::make_unique<ParentClassLoader>();
    QSet<FileId> sources;
    for (const QString &entry : classpath) {
        const bool repeated = isRepeatedSource(sources, entry);
        if (QFileInfo(entry).isDir()) {
            addDirectory(*chain, entry, repeated);
        } else if (suffixOf(entry) == "jar") {
            addJar(*chain, entry, repeated);
        } else if (suffixOf(entry) == "javagold") {
            addGoldFile(*chain, entry);
        } else {
            logLine(Logger::L_WARN,
                    QString("Could not create class loader for classpath entry %1").arg(entry));
            UnreadInputs::record(entry, unknownKindReason(QFileInfo(entry)));
        }
    }
    return chain.release();
}
