#include "loader/FileTree.h"

#include <QFile>
#include <QSet>

#include <cerrno>
#include <climits>
#include <cstring>
#include <utility>
#include <vector>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

/// An open file descriptor, closed with its owner.
class Descriptor
{
public:
    explicit Descriptor(int fd = -1)
        : fd(fd)
    {
    }
    Descriptor(Descriptor &&other) noexcept
        : fd(std::exchange(other.fd, -1))
    {
    }
    Descriptor &operator=(Descriptor &&other) noexcept
    {
        std::swap(fd, other.fd);
        return *this;
    }
    ~Descriptor()
    {
        if (fd >= 0)
            ::close(fd);
    }
    bool isOpen() const { return fd >= 0; }
    int get() const { return fd; }
    /// Where a path relative to this descriptor starts: the working directory when none is open.
    int base() const { return fd >= 0 ? fd : AT_FDCWD; }

private:
    int fd;
};

QString systemError(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

/// The names in a directory, as bytes, without "." and ".." and hidden entries; false when the
/// directory could not be read to its end.
bool listNames(int directory, std::vector<QByteArray> &names, int &error)
{
    const int fd = ::dup(directory); // closedir closes the descriptor it was given
    DIR *dir = fd >= 0 ? ::fdopendir(fd) : nullptr;
    if (!dir) {
        error = errno;
        if (fd >= 0)
            ::close(fd);
        return false;
    }
    errno = 0;
    while (const dirent *entry = ::readdir(dir)) {
        if (entry->d_name[0] != '.')
            names.emplace_back(entry->d_name);
        errno = 0;
    }
    error = errno;
    ::closedir(dir);
    return error == 0;
}

struct Level
{
    Descriptor directory;
    QString relative; // empty for the root
    std::vector<QByteArray> names;
    size_t next = 0;
};

using DirectoryId = QPair<dev_t, ino_t>;

QString openReason(int error, int depth)
{
    if (error == EMFILE || error == ENFILE)
        return QString("lies %1 levels deep, past the number of files the tester may open")
            .arg(depth);
    return systemError(error);
}

/// A directory from which `rest`, a path shorter than PATH_MAX, names what path names: the
/// kernel refuses longer paths, so the leading directories are opened a piece at a time.
Descriptor descend(QByteArray path, QByteArray &rest)
{
    Descriptor directory;
    while (path.size() >= PATH_MAX) {
        const int cut = path.lastIndexOf('/', PATH_MAX - 1);
        if (cut <= 0)
            break; // a single name that long fails by itself
        const int fd = ::openat(
            directory.base(), path.left(cut).constData(), O_PATH | O_DIRECTORY | O_CLOEXEC);
        if (fd < 0)
            break;
        directory = Descriptor(fd);
        path = path.mid(cut + 1);
    }
    rest = path;
    return directory;
}

} // namespace

void FileTree::walk(const QString &root, const Visitor &visit, const Trouble &trouble)
{
    QByteArray rootRest;
    const Descriptor above = descend(QFile::encodeName(root), rootRest);
    Descriptor rootDirectory(
        ::openat(above.base(), rootRest.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!rootDirectory.isOpen()) {
        trouble(QString(), systemError(errno));
        return;
    }
    QSet<DirectoryId> entered;
    std::vector<Level> stack;
    auto enter = [&](Descriptor directory, const QString &relative) {
        struct stat status;
        if (::fstat(directory.get(), &status) != 0
            || entered.contains({ status.st_dev, status.st_ino }))
            return;
        entered.insert({ status.st_dev, status.st_ino });
        Level level { std::move(directory), relative, {}, 0 };
        int error = 0;
        if (!listNames(level.directory.get(), level.names, error))
            trouble(relative, systemError(error)); // the names listed before still count
        stack.push_back(std::move(level));
    };
    enter(std::move(rootDirectory), QString());
    // An explicit stack: a deep tree must not exhaust the thread's stack.
    while (!stack.empty()) {
        Level &level = stack.back();
        if (level.next == level.names.size()) {
            stack.pop_back();
            continue;
        }
        const QByteArray &name = level.names[level.next++];
        const QString decoded = QFile::decodeName(name);
        const QString relative
            = level.relative.isEmpty() ? decoded : level.relative + '/' + decoded;
        struct stat status;
        if (::fstatat(level.directory.get(), name.constData(), &status, 0) != 0
            || !S_ISDIR(status.st_mode)) {
            visit(relative);
            continue;
        }
        const int fd
            = ::openat(level.directory.get(), name.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd < 0) {
            trouble(relative, openReason(errno, int(stack.size())));
            continue;
        }
        enter(Descriptor(fd), relative);
    }
}

FileTree::File FileTree::read(const QString &path, qint64 maxBytes)
{
    File file;
    QByteArray rest;
    const Descriptor directory = descend(QFile::encodeName(path), rest);
    struct stat status;
    if (::fstatat(directory.base(), rest.constData(), &status, 0) != 0) {
        const int error = errno;
        const bool isLink
            = ::fstatat(directory.base(), rest.constData(), &status, AT_SYMLINK_NOFOLLOW) == 0;
        file.outcome = isLink ? Outcome::DanglingLink : Outcome::Missing;
        file.error = systemError(error);
        return file;
    }
    if (!S_ISREG(status.st_mode)) {
        file.outcome = Outcome::NotAFile;
        return file;
    }
    if (status.st_size > maxBytes) {
        file.outcome = Outcome::TooLarge;
        return file;
    }
    const Descriptor opened(
        ::openat(directory.base(), rest.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (!opened.isOpen()) {
        file.outcome = errno == EACCES ? Outcome::NotReadable : Outcome::NotOpened;
        file.error = systemError(errno);
        return file;
    }
    file.bytes.resize(int(status.st_size));
    qint64 done = 0;
    while (done < file.bytes.size()) {
        const ssize_t count
            = ::read(opened.get(), file.bytes.data() + done, size_t(file.bytes.size() - done));
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0) {
            file.outcome = Outcome::NotOpened;
            file.error = systemError(errno);
            file.bytes.clear();
            return file;
        }
        if (count == 0)
            break; // the file shrank since it was looked at
        done += count;
    }
    file.bytes.truncate(int(done));
    file.outcome = Outcome::Read;
    return file;
}
