#pragma once

#include "goldformat/FileBytes.h"

#include <QString>

/// The SHA-256 of the files a run names, taken from the bytes the run read rather than from a
/// second read: the description of a run hashes every gold file it names, megabytes that the gold
/// file loaders have just read whole. Safe to use from any thread.
class FileDigest
{
public:
    /// Hashes bytes as what was read from the file that handle has open at path, on a thread of
    /// its own while the caller goes on; the file's identity and time stamp at that moment tell a
    /// later change apart.
    static void remember(const QString &path, int handle, const FileBytes &bytes);
    /// In hexadecimal, as sha256sum prints it: of the bytes last remembered for path while the
    /// file is still the one they were read from, else of the file as it is now; empty when it
    /// cannot be read. Waits for the hash of remembered bytes where it is not taken yet.
    static QString sha256Of(const QString &path);
};
