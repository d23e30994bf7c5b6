#include "base/LogDirectoryLock.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

LogDirectoryLock::LogDirectoryLock(const QString &directory)
{
    const QString path = QFileInfo(directory + "/log.txt").absolutePath();
    descriptor = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (descriptor >= 0 && ::flock(descriptor, LOCK_EX | LOCK_NB) != 0)
        heldElsewhere = errno == EWOULDBLOCK;
}

LogDirectoryLock::~LogDirectoryLock()
{
    if (descriptor >= 0)
        ::close(descriptor);
}
