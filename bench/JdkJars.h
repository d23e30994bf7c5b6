#pragma once

#include <QString>
#include <QStringList>

/// Jars cut from the local JDK's modules for the benchmarks, built on first use under the build
/// tree (jmod extract, then jar) and kept for later runs. Each function answers the jar's path, or
/// an empty text when the jar could not be built.
namespace JdkJars {

/// The classes of java.base, java.desktop and java.xml (about 14,000).
QString big();
/// The first `size` classes, in path order, of those modules plus jdk.compiler and
/// jdk.localedata: 1000, 2000, 4000, 8000 or 16000.
QString cut(int size);
/// Every class of every java.* module in one jar: a whole Java runtime (about 16,600 classes).
QString runtime();

/// Runs a program to its end with its output thrown away; false when it failed.
bool runTool(const QString &program,
             const QStringList &arguments,
             const QString &workDir = QString());

} // namespace JdkJars
