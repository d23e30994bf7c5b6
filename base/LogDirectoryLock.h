#pragma once

#include <QString>

/// Keeps two runs from writing into one log directory at once, where they would overwrite each
/// other's log.txt and results.txt. The lock is the kernel's, on the directory itself: it leaves no
/// file behind and ends with the process, however the process ends.
class LogDirectoryLock
{
public:
    /// Locks the directory, which LogDirectory made. A directory that cannot be opened is not
    /// locked: the log then says what is wrong with it.
    explicit LogDirectoryLock(const QString &directory);
    ~LogDirectoryLock();
    LogDirectoryLock(const LogDirectoryLock &) = delete;
    LogDirectoryLock &operator=(const LogDirectoryLock &) = delete;

    /// True when another run holds the directory.
    bool isHeldElsewhere() const { return heldElsewhere; }

private:
    int descriptor = -1;
    bool heldElsewhere = false;
};
