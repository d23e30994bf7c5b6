#pragma once

#include "JavaTypes.pb.h"

#include <QString>

#include <memory>

class Class;

/// Reading and writing gold files: one serialised JClasses message per file. A write that fails
/// is logged at ERROR and then thrown as std::runtime_error carrying the same text; a read says
/// why it failed and leaves the logging to its caller.
class ProtoIO
{
public:
    /// Writes classes to path, truncating an existing file. A file whose serialisation failed
    /// part-way is left on disk.
    static void write(const JClasses *classes, const QString &path);
    struct Read
    {
        std::unique_ptr<JClasses> classes; // null when the file was refused
        QString problem; // why it was, in the words of the log
    };
    /// The file parsed whole.
    static Read read(const QString &path);

    /// Which members setJClass copies: SET_API keeps the public and protected ones that are not
    /// compiler-made; every other value copies all of them (the fixed underlying type makes any
    /// number a valid mode).
    enum setmode_t : int { SET_ALL = 0, SET_API = 1 };

    /// Fills record with the class's name, parent (always present, empty when there is none),
    /// interfaces, flags and the members mode selects, each in the class's order. The method
    /// marks, the record's filename, package and static are left absent.
    static void setJClass(JClass *record, const Class &cls, setmode_t mode);

    // The name filters of gold building; Qt regular expressions compiled once, matched anywhere.
    /// An anonymous class: its dotted name ends in $ and digits (pkg.Outer$1).
    static bool isAnonymousClass(const QString &className);
    /// The synthetic reference to an enclosing instance (this$0).
    static bool isFieldForAnonymousClass(const QString &fieldName);
    /// A synthetic accessor method (access$000).
    static bool isMethodForAnonymousClass(const QString &methodName);
};
