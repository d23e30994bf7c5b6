#include "loader/JavaClassLoader.h"

#include "base/Logger.h"
#include "base/UnreadInputs.h"
#include "classfile/JavaClassFile.h"
#include "loader/JavaClass.h"

#include <QDir>

#include <memory>

Class *JavaClassLoader::defineClass(const QString &name)
{
    // A class the donor holds was read from these very bytes, and reading them again would log
    // nothing: only a class it could not define is read here.
    if (donor) {
        if (const auto *read = dynamic_cast<const JavaClass *>(donor->getCachedClass(name)))
            return new JavaClass(read->getClassFile());
    }
    QByteArray bytes = readClassData(name);
    if (bytes.isEmpty())
        return nullptr;
    return acceptClassFile(name, JavaClassFile::create(bytes));
}

QByteArray JavaClassLoader::readClassData(const QString &)
{
    return QByteArray();
}

namespace {

QString printedName(const QString &name)
{
    return TypeDescriptor::fromClassDescriptorName(name).toString();
}

// "p/Main" of "Lp/Main;"
QString internalName(const QString &name)
{
    return QString(TypeDescriptor::fromClassDescriptorName(name).getClassName()).replace('.', '/');
}

// The errors of a check log without their level, for the reason a class file was not read.
QString errorsOf(const QStringList &messages)
{
    static const QString errorPrefix = "Error - ";
    QStringList errors;
    for (const QString &message : messages) {
        if (message.startsWith(errorPrefix))
            errors << message.mid(errorPrefix.size());
    }
    return errors.join("; ");
}

// The directory that the packages of a class start in, when source is a directory inside the
// class's package (the class's path is the tail of its declared name, and source ends with the
// rest); empty otherwise.
QString packageStartOf(const QString &source, const QString &name, const QString &declared)
{
    const QString path = internalName(name);
    const QString full = internalName(declared);
    if (!full.endsWith(QLatin1Char('/') + path))
        return QString();
    const QString package = full.left(full.size() - path.size() - 1);
    const QString directory = QDir::cleanPath(source);
    if (directory == package)
        return QStringLiteral(".");
    if (!directory.endsWith(QLatin1Char('/') + package))
        return QString();
    const QString start = directory.left(directory.size() - package.size() - 1);
    return start.isEmpty() ? QStringLiteral("/") : start;
}

} // namespace

ClassFileOutline::ClassFileOutline(const JavaClassFile &file)
    : rejected(file.checkLog.hasErrors)
    , moduleDescriptor(file.isModuleDescriptor())
{
    if (rejected) {
        messages = file.checkLog.messages;
        return;
    }
    const TypeDescriptor type = file.getTypeDescriptor();
    printedName = type.toString();
    name = type.getDescriptor();
}

// A class stored under a path that names another class (a copy under "../", an absolute path or
// a second directory) is no class a Java runtime would load from there. A directory inside a
// package holds all its classes so: no runtime loads any of them from it, and the entry is said
// once, as a lone class file is, rather than with a warning per class and a failure per use.
bool JavaClassLoader::acceptsDeclaredName(const QString &name, const QString &declared) const
{
    if (declared == name)
        return true;
    const QString start = packageStartOf(getSource(), name, declared);
    if (start.isEmpty()) {
        logLine(Logger::L_WARN,
                QString("The class file of %1 in %2 declares the class %3: its path does not "
                        "match its name")
                    .arg(printedName(name), getSource(), printedName(declared)));
        return true;
    }
    const QString printed = printedName(declared);
    const QString reason
        = QString("is inside the package %1: name the directory its packages start in, %2, "
                  "instead")
              .arg(printed.left(printed.size() - printedName(name).size() - 1), start);
    UnreadInputs::record(getSource(), reason);
    if (!saidInsidePackage)
        logLine(Logger::L_WARN, QString("Classpath entry %1 %2").arg(getSource(), reason));
    saidInsidePackage = true;
    return false;
}

// A class file the reader refuses is code nobody checked: the run that needed it cannot pass.
void JavaClassLoader::reject(const QString &name, const QStringList &messages) const
{
    const QString printed = printedName(name);
    for (const QString &message : messages)
        logLine(Logger::L_WARN, QString("%1: %2").arg(printed, message));
    UnreadInputs::record(getClassFilePath(internalName(name)),
                         QString("class %1 cannot be read: %2").arg(printed, errorsOf(messages)));
}

// A JVM refuses to load a module descriptor as a class, so no code of it ever runs.
void JavaClassLoader::skipModuleDescriptor(const QString &name) const
{
    logLine(Logger::L_INFO,
            QString("%1 is a module descriptor, not a class: it is not tested")
                .arg(getClassFilePath(internalName(name))));
}

Class *JavaClassLoader::acceptClassFile(const QString &name, JavaClassFile *file) const
{
    std::unique_ptr<JavaClassFile> owned(file);
    if (owned->checkLog.hasErrors) {
        reject(name, owned->checkLog.messages);
        return nullptr;
    }
    if (owned->isModuleDescriptor()) {
        skipModuleDescriptor(name);
        return nullptr;
    }
    if (!acceptsDeclaredName(name, owned->getTypeDescriptor().getDescriptor()))
        return nullptr;
    return new JavaClass(owned.release());
}

void JavaClassLoader::keepOutline(const QString &name, const ClassFileOutline &outline)
{
    if (outline.rejected) {
        reject(name, outline.messages);
        return;
    }
    if (outline.moduleDescriptor) {
        skipModuleDescriptor(name);
        return;
    }
    if (acceptsDeclaredName(name, outline.name))
        listedNames->insert(name, outline.printedName);
}

QMultiMap<QString, QString> JavaClassLoader::listAllClasses()
{
    QMultiMap<QString, QString> names;
    listedNames = &names;
    loadAllClasses();
    listedNames = nullptr;
    return names;
}

bool JavaClassLoader::isKept(const QString &name) const
{
    return listedNames ? listedNames->contains(name) : isCached(name);
}

void JavaClassLoader::keep(const QString &name, Class *cls)
{
    std::unique_ptr<Class> owned(cls);
    if (!owned)
        return;
    if (listedNames)
        listedNames->insert(name, owned->getName().toString());
    else
        addToCache(name, owned.release());
}

void JavaClassLoader::loadToKeep(const QString &name)
{
    if (!isKept(name))
        keep(name, defineClass(name));
}
