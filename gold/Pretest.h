#pragma once

#include "base/Classpath.h"

#include <QString>

/// Gold building: turns a classpath of reference classes into the gold file that describes their
/// API (the public, non-anonymous classes with their public and protected members).
class Pretest
{
public:
    /// Reads every class of the classpath and writes the gold file, records in ascending order of
    /// descriptor text, one record per class name. Failures travel as exceptions (a gold file on
    /// the classpath that cannot be read, an output that cannot be written); the loaders and the
    /// records are freed in every case.
    static void createGold(const Classpath &classpath, const QString &goldFile);
};
