#pragma once

#include <QString>
#include <memory>
#include <ostream>

/// A file that is replaced whole or not at all: written through a standard stream into a new
/// temporary file beside it, which commit() renames over it. Until then the old file (if any)
/// stays as it was; a write that fails, or an object destroyed without commit(), removes the
/// temporary file. A process killed before the commit leaves at worst that temporary file.
///
/// The path is never followed where it is a symbolic link: the link is replaced like a file, so
/// that a link planted in a directory the program writes into cannot send the file elsewhere.
/// A path that names something other than a regular file or a link (a device, a pipe) is written
/// in place: there is nothing to keep whole there, and a rename would replace the device itself.
class AtomicFile
{
public:
    /// What to do when the directory takes no new file but holds a regular file of that name
    /// that can be written.
    enum Fallback {
        /// Fail: the old file stays whole (a gold file that others read).
        KeepOldFile,
        /// Write that file in place: what it held is gone from open() on (the results of an
        /// earlier run, which must not pass for this run's).
        WriteInPlace
    };

    explicit AtomicFile(const QString &path, Fallback fallback = KeepOldFile);
    ~AtomicFile();
    AtomicFile(const AtomicFile &) = delete;
    AtomicFile &operator=(const AtomicFile &) = delete;

    /// Creates the temporary file; false when the directory cannot take it.
    bool open();
    /// The stream into the temporary file; writes go nowhere before a successful open().
    std::ostream &stream() { return out; }
    /// Puts the file in place; false when anything written was lost or the rename failed, and
    /// then the path is left as it was.
    bool commit();
    /// Why open() or commit() failed.
    QString errorString() const { return error; }

private:
    class DescriptorBuffer;

    bool openTemporary();
    bool openInPlace(int flags);
    void discard();

    const QString path;
    const Fallback fallback;
    QString temporaryPath; // empty when written in place
    int descriptor = -1;
    std::unique_ptr<DescriptorBuffer> buffer;
    std::ostream out;
    QString error;
};
