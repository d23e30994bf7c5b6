#pragma once

#include <QString>

/// What a path inside a jar, or below a classpath directory, is to the class loaders of a Java 8
/// runtime. They look class N up as N's internal name plus ".class", byte for byte, so a path
/// names a class exactly when it has that form. "p.Main.class", "p/Main.class.class" or
/// "p/Ma.classin.class" hold no class a runtime would ever load, whatever their bytes declare, and
/// must neither be tested nor stand in for the class p.Main.
namespace ClassEntryName {

enum class Kind {
    NotAClass,
    Class,
    /// Below META-INF/versions/: a multi-release jar's copy for a later Java release, which a
    /// Java 8 runtime never loads.
    LaterRelease,
    /// module-info.class: a module descriptor, which is no class.
    ModuleDescriptor
};

Kind kindOf(const QString &path);
/// The descriptor text ("Lp/Main;") of the class that a path of the kind Class names.
QString descriptorOf(const QString &path);

/// Tells the run that a jar or directory holds this many LaterRelease entries, which are left
/// unchecked (nothing when there are none).
void recordLaterRelease(const QString &source, int count);

} // namespace ClassEntryName
