#pragma once

#include <QByteArray>
#include <QString>

#include <functional>

/// A directory tree read through file descriptors rather than paths: each directory is opened
/// from its parent, so a walk costs the same at every depth and is not bound by the length of a
/// path, and names are taken as the bytes the file system holds.
class FileTree
{
public:
    /// Gets each entry that is not a directory, with its path relative to the root.
    using Visitor = std::function<void(const QString &relative)>;
    /// Gets each directory below the root (or the root, as an empty path) that could not be read.
    using Trouble = std::function<void(const QString &relative, const QString &reason)>;

    /// Visits every entry below root, depth first in the order the file system lists them.
    /// Hidden entries (a name starting with ".") are left out. Symbolic links are followed, but
    /// every real directory is entered once, so links that loop back end the walk.
    static void walk(const QString &root, const Visitor &visit, const Trouble &trouble);

    enum class Outcome { Read, Missing, DanglingLink, NotAFile, TooLarge, NotReadable, NotOpened };
    struct File
    {
        Outcome outcome = Outcome::Missing;
        QByteArray bytes;
        QString error; // the system's words, when it gave any
    };
    /// Reads a regular file of at most maxBytes, whatever the length of its path; never opens
    /// anything else (a FIFO would block).
    static File read(const QString &path, qint64 maxBytes);
};
