#pragma once

#include "JavaTypes.pb.h"

#include <QString>

/// Reading and writing gold files: one serialised JClasses message per file. Every failure is
/// logged at ERROR and then thrown as std::runtime_error carrying the same text.
class ProtoIO
{
public:
    /// Writes classes to path, truncating an existing file. A file whose serialisation failed
    /// part-way is left on disk.
    static void write(const JClasses *classes, const QString &path);
    /// On success points classes at a new root that the caller owns. If the file cannot be opened
    /// classes is left unchanged; if it cannot be parsed classes is set to null.
    static void read(JClasses *&classes, const QString &path);
};
