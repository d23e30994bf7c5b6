#include "loader/ClassEntryName.h"

#include "base/UnreadInputs.h"

#include <QStringList>

namespace {

const QString classSuffix = QStringLiteral(".class");
const QString laterReleasePrefix = QStringLiteral("META-INF/versions/");
const QString moduleDescriptor = QStringLiteral("module-info.class");

// Each part of an internal name is a non-empty name without the characters the class-file
// format reserves for separating names and for descriptors.
bool isInternalName(const QString &name)
{
    for (const QString &part : name.split('/')) {
        if (part.isEmpty() || part.contains('.') || part.contains(';') || part.contains('['))
            return false;
    }
    return true;
}

} // namespace

ClassEntryName::Kind ClassEntryName::kindOf(const QString &path)
{
    if (!path.endsWith(classSuffix)) // case-sensitive: Foo.CLASS is not a class
        return Kind::NotAClass;
    if (path.startsWith(laterReleasePrefix))
        return Kind::LaterRelease;
    if (path == moduleDescriptor)
        return Kind::ModuleDescriptor;
    return isInternalName(path.chopped(classSuffix.size())) ? Kind::Class : Kind::NotAClass;
}

QString ClassEntryName::descriptorOf(const QString &path)
{
    return 'L' + path.chopped(classSuffix.size()) + ';';
}

void ClassEntryName::recordLaterRelease(const QString &source, int count)
{
    if (count > 0)
        UnreadInputs::recordUnchecked(source,
                                      count,
                                      "classes for later Java releases (below META-INF/versions/), "
                                      "which a Java 8 runtime never loads");
}
