#include "conformance/FrameworkHint.h"

#include "classfile/TypeDescriptor.h"
#include "gold/GoldFile.h"
#include "loader/JarFileReader.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>

#include <algorithm>
#include <exception>

namespace {

constexpr int packagesNamed = 4;

QString packageOf(const QString &dottedName)
{
    return dottedName.left(std::max(0, dottedName.lastIndexOf('.')));
}

} // namespace

FrameworkHint::FrameworkHint(const QStringList &missingClasses,
                             const Classpath &accessClasspath,
                             const QSet<QString> &skip)
{
    // Listing the classpath again costs a pass over every jar and gold file: only worth it when
    // the hint could apply.
    if (missingClasses.size() < minimumClasses)
        return;
    for (const QString &entry : accessClasspath) {
        if (!skip.contains(entry))
            addPackagesOf(entry);
    }
    for (const QString &missing : missingClasses) {
        const QString package = packageOf(missing);
        if (!heldPackages.contains(package)) {
            ++orphans[package];
            ++classCount;
        }
    }
}

QString FrameworkHint::getText() const
{
    QList<QPair<int, QString>> packages;
    for (auto it = orphans.cbegin(); it != orphans.cend(); ++it)
        packages.append({ -it.value(), it.key().isEmpty() ? "(default package)" : it.key() });
    std::sort(packages.begin(), packages.end());
    QStringList named;
    for (int i = 0; i < packages.size() && i < packagesNamed; ++i)
        named << packages.at(i).second;
    if (packages.size() > packagesNamed)
        named << QString("and %1 more").arg(packages.size() - packagesNamed);
    return QString("A framework classpath may be missing: %1 classes not found lie in %2 "
                   "packages that no allowed classpath entry holds (%3). Give the jars that "
                   "provide them with --frameworkclasspath.")
        .arg(classCount)
        .arg(packages.size())
        .arg(named.join(", "));
}

void FrameworkHint::addPackagesOf(const QString &entry)
{
    const QFileInfo info(entry);
    if (info.isDir()) {
        // Symbolic links are not followed, so a tree that links back into itself still ends.
        QDirIterator files(
            entry, { "*.class", "*.jar" }, QDir::Files, QDirIterator::Subdirectories);
        const QDir root(entry);
        while (files.hasNext()) {
            const QString path = files.next();
            if (path.endsWith(".jar"))
                addJar(path);
            else
                addClassName(
                    TypeDescriptor::fromClassFileName(root.relativeFilePath(path)).descriptor);
        }
    } else if (info.suffix() == "jar") {
        addJar(entry);
    } else if (info.suffix() == "javagold") {
        try {
            const GoldFile file(entry);
            for (int index = 0; index < file.getRecordCount(); ++index)
                addClassName(file.getName(index));
        } catch (const std::exception &) {
            return; // reported by the test that read it first
        }
    }
}

void FrameworkHint::addClassName(const QString &descriptorText)
{
    heldPackages.insert(
        packageOf(TypeDescriptor::fromClassDescriptorName(descriptorText).className));
}

void FrameworkHint::addJar(const QString &path)
{
    const JarFileReader reader(path);
    for (const QString &name : reader.getClassNames())
        addClassName(name);
}
