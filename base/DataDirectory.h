#pragma once

#include <QString>
#include <QStringList>

/// Where the reference gold files are read from. A directory named on the command line is used as
/// given; otherwise data/ in the working directory, where the tester has always looked, and then
/// the data an installation keeps beside its program.
namespace DataDirectory {

/// The directory the gold files are read from: given, when not empty; else the first place that
/// holds the reference data; "data" when none does, so that what is missing is named where it was
/// always looked for.
QString find(const QString &given);
/// The installation's data directory, found from the running program: <prefix>/bin/PROGRAM reads
/// <prefix>/share/javaconformance/data.
QString installed();
/// The same for the program at the given path.
QString installedBeside(const QString &program);

} // namespace DataDirectory
