#pragma once

#include <QString>

/// The directory a run writes log.txt and its results into. It is made with its parents when the
/// program starts; when it cannot be made, that is said once, at the start, and the files meant
/// for it are known to be lost without a message of their own.
namespace LogDirectory {

/// Makes the directory and its parents (an existing directory is fine) and remembers the
/// outcome; why it could not, or empty. Called before any worker thread exists.
QString create(const QString &directory);

/// Why the directory was not made, when directory is the one create() failed on; empty
/// otherwise.
QString problemOf(const QString &directory);

} // namespace LogDirectory
