#include "base/AtomicFile.h"

#include <QFile>
#include <QRandomGenerator>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <streambuf>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

/// Names tried for the temporary file before giving up; each is random, so a clash is rare.
constexpr int temporaryNameAttempts = 100;

QString reasonOf(int code)
{
    return QString::fromLocal8Bit(std::strerror(code));
}

/// What the path itself is, a link not followed; 0 when nothing is there.
mode_t kindOf(const QByteArray &path, mode_t &permissions)
{
    struct stat status;
    if (::lstat(path.constData(), &status) != 0)
        return 0;
    permissions = status.st_mode & 07777;
    return status.st_mode & S_IFMT;
}

} // namespace

/// Collects what the stream writes and hands it to the file in large pieces, so that a write
/// that fails fails here, where the stream learns of it and the reason is kept.
class AtomicFile::DescriptorBuffer : public std::streambuf
{
public:
    explicit DescriptorBuffer(int descriptor)
        : descriptor(descriptor)
        , space(64 * 1024)
    {
        setp(space.data(), space.data() + space.size());
    }

    /// The errno of the write that failed, 0 while none has.
    int getWriteError() const { return writeError; }

protected:
    int_type overflow(int_type c) override
    {
        if (!drain())
            return traits_type::eof();
        if (!traits_type::eq_int_type(c, traits_type::eof())) {
            *pptr() = traits_type::to_char_type(c);
            pbump(1);
        }
        return traits_type::not_eof(c);
    }

    int sync() override { return drain() ? 0 : -1; }

private:
    // A write that the kernel cuts short (a file size limit, a disk filling up) is repeated for
    // the rest, so that the reason shows.
    bool drain()
    {
        for (const char *at = pbase(); at < pptr();) {
            const ssize_t written = ::write(descriptor, at, size_t(pptr() - at));
            if (written < 0 && errno == EINTR)
                continue;
            if (written <= 0) {
                writeError = written < 0 ? errno : EIO;
                return false;
            }
            at += written;
        }
        setp(space.data(), space.data() + space.size());
        return true;
    }

    int descriptor;
    std::vector<char> space;
    int writeError = 0;
};

AtomicFile::AtomicFile(const QString &path, Fallback fallback)
    : path(path)
    , fallback(fallback)
    , out(nullptr)
{
}

AtomicFile::~AtomicFile()
{
    discard();
}

bool AtomicFile::open()
{
    mode_t permissions = 0666;
    const mode_t kind = kindOf(QFile::encodeName(path), permissions);
    bool opened = false;
    if (kind != 0 && kind != S_IFREG && kind != S_IFLNK)
        opened = openInPlace(0);
    else
        opened = openTemporary()
            || (fallback == WriteInPlace && kind == S_IFREG && openInPlace(O_TRUNC));
    if (!opened)
        return false;
    // A file that is replaced keeps the permissions it had.
    if (!temporaryPath.isEmpty() && kind == S_IFREG)
        ::fchmod(descriptor, permissions);
    buffer = std::make_unique<DescriptorBuffer>(descriptor);
    out.rdbuf(buffer.get());
    return true;
}

// O_EXCL never follows a link, and the rename at the commit replaces the name itself, whatever
// it is by then: nothing planted in the directory can redirect the file.
bool AtomicFile::openTemporary()
{
    for (int attempt = 0; attempt < temporaryNameAttempts; ++attempt) {
        const QString candidate = QString("%1.%2").arg(path).arg(
            QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0'));
        descriptor = ::open(QFile::encodeName(candidate).constData(),
                            O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC,
                            0666);
        if (descriptor >= 0) {
            temporaryPath = candidate;
            return true;
        }
        if (errno != EEXIST)
            break;
    }
    error = reasonOf(errno);
    return false;
}

bool AtomicFile::openInPlace(int flags)
{
    descriptor = ::open(QFile::encodeName(path).constData(),
                        O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | flags);
    if (descriptor < 0) {
        error = reasonOf(errno);
        return false;
    }
    // Non-blocking only to open: a pipe without a reader fails at once instead of waiting.
    ::fcntl(descriptor, F_SETFL, ::fcntl(descriptor, F_GETFL) & ~O_NONBLOCK);
    return true;
}

bool AtomicFile::commit()
{
    if (descriptor < 0)
        return false;
    out.flush();
    bool written = out.good();
    if (!written)
        error = reasonOf(buffer->getWriteError() != 0 ? buffer->getWriteError() : EIO);
    if (written && !temporaryPath.isEmpty())
        ::fsync(descriptor); // as a replacement should; a file system that cannot is no error
    const int closed = ::close(descriptor);
    descriptor = -1;
    if (written && closed != 0) {
        written = false;
        error = reasonOf(errno);
    }
    if (written && !temporaryPath.isEmpty()
        && ::rename(QFile::encodeName(temporaryPath).constData(),
                    QFile::encodeName(path).constData())
            != 0) {
        written = false;
        error = reasonOf(errno);
    }
    if (written)
        temporaryPath.clear();
    discard();
    return written;
}

void AtomicFile::discard()
{
    if (descriptor >= 0)
        ::close(descriptor);
    descriptor = -1;
    if (!temporaryPath.isEmpty())
        ::unlink(QFile::encodeName(temporaryPath).constData());
    temporaryPath.clear();
}
