#pragma once

#include <QFileDevice>
#include <QString>
#include <memory>
#include <ostream>

/// A file that is replaced whole or not at all: written through a standard stream into a
/// temporary file beside it, which commit() renames over it. Until then the old file (if any)
/// stays as it was; a write that fails, or an object destroyed without commit(), removes the
/// temporary file. A process killed before the commit leaves at worst that temporary file.
/// A path that names something other than a regular file (a device, a pipe) is written in place:
/// there is nothing to keep whole there, and a rename would replace the device itself.
class AtomicFile
{
public:
    explicit AtomicFile(const QString &path);
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
    QString errorString() const;

private:
    class DeviceBuffer;

    const QString path;
    std::unique_ptr<QFileDevice> file;
    std::unique_ptr<DeviceBuffer> buffer;
    std::ostream out;
    QString writeError;
};
