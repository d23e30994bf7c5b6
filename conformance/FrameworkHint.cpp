#include "conformance/FrameworkHint.h"

#include "classfile/TypeDescriptor.h"
#include "goldformat/GoldFile.h"
#include "loader/JarFileReader.h"
#include "report/Results.h"

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
                             const QSet<QString> &skip,
                             const LeftOut &leftOut)
    : profile(leftOut.profile)
{
    QSet<QString> leftOutPackages;
    if (!missingClasses.isEmpty()) {
        for (const QString &entry : leftOut.gold) {
            if (!skip.contains(entry))
                addPackagesOf(entry, leftOutPackages);
        }
    }
    // Listing the classpath again costs a pass over every jar and gold file: only worth it when
    // the hint could apply.
    QSet<QString> heldPackages;
    if (missingClasses.size() >= minimumClasses) {
        for (const QString &entry : accessClasspath) {
            if (!skip.contains(entry))
                addPackagesOf(entry, heldPackages);
        }
    }
    for (const QString &missing : missingClasses) {
        const QString package = packageOf(missing);
        if (leftOutPackages.contains(package))
            excluded.add(package);
        else if (missingClasses.size() >= minimumClasses && !heldPackages.contains(package))
            orphans.add(package);
    }
}

QString FrameworkHint::getText() const
{
    QStringList sentences;
    if (orphans.count >= minimumClasses) {
        sentences << QString("A framework classpath may be missing: %1 classes not found lie in "
                             "%2 that no allowed classpath entry holds (%3). Give the jars that "
                             "provide them with --frameworkclasspath.")
                         .arg(QString::number(orphans.count),
                              countOf(orphans.classes.size(), "package", "packages"),
                              orphans.named());
    }
    // Adding the API would make the component pass a test its profile means it to fail.
    if (excluded.count > 0) {
        sentences << QString("%1 not found %2 in %3 of an API that the %4 profile leaves out "
                             "(%5): a component under this profile may not use them, and no "
                             "framework classpath should provide them.")
                         .arg(countOf(excluded.count, "class", "classes"),
                              excluded.count == 1 ? "lies" : "lie",
                              countOf(excluded.classes.size(), "package", "packages"),
                              profile,
                              excluded.named());
    }
    return sentences.join(' ');
}

void FrameworkHint::Packages::add(const QString &package)
{
    ++classes[package];
    ++count;
}

QString FrameworkHint::Packages::named() const
{
    QList<QPair<int, QString>> packages;
    for (auto it = classes.cbegin(); it != classes.cend(); ++it)
        packages.append({ -it.value(), it.key().isEmpty() ? "(default package)" : it.key() });
    std::sort(packages.begin(), packages.end());
    QStringList named;
    for (int i = 0; i < packages.size() && i < packagesNamed; ++i)
        named << packages.at(i).second;
    if (packages.size() > packagesNamed)
        named << QString("and %1 more").arg(packages.size() - packagesNamed);
    return named.join(", ");
}

void FrameworkHint::addPackagesOf(const QString &entry, QSet<QString> &packages)
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
                addJar(path, packages);
            else
                addClassName(
                    TypeDescriptor::fromClassFileName(root.relativeFilePath(path)).getDescriptor(),
                    packages);
        }
    } else if (info.suffix() == "jar") {
        addJar(entry, packages);
    } else if (info.suffix() == "javagold") {
        // One that cannot be read is the test's to report, which read it first.
        const GoldFile::Opened opened = GoldFile::open(entry);
        for (int index = 0; opened.file && index < opened.file->getRecordCount(); ++index)
            addClassName(opened.file->getName(index), packages);
    }
}

void FrameworkHint::addClassName(const QString &descriptorText, QSet<QString> &packages)
{
    packages.insert(
        packageOf(TypeDescriptor::fromClassDescriptorName(descriptorText).getClassName()));
}

void FrameworkHint::addJar(const QString &path, QSet<QString> &packages)
{
    const JarFileReader reader(path);
    for (const QString &name : reader.getClassNames())
        addClassName(name, packages);
}
