#include "goldformat/FileDigest.h"

#include <QFile>
#include <QHash>
#include <QMutex>
#include <QThreadPool>

#include <nettle/sha2.h>
#include <sys/stat.h>

#include <array>
#include <future>
#include <memory>
#include <tuple>

namespace {

// Device, inode, size and modification time: a file written again in place or replaced by
// another differs in one of them.
using Stamp = std::tuple<dev_t, ino_t, off_t, time_t, long>;

Stamp stampOf(const struct stat &status)
{
    return {
        status.st_dev, status.st_ino, status.st_size, status.st_mtim.tv_sec, status.st_mtim.tv_nsec
    };
}

struct Digest
{
    Stamp stamp;
    std::shared_future<QString> sha256;
};

// Nettle's hash takes the processor's SHA instructions where there are any: a tenth of the time
// of Qt's on the 3.7 MB of reference gold files.
class Sha256
{
public:
    Sha256() { sha256_init(&context); }
    void add(const char *data, qint64 size) { sha256_update(&context, size_t(size), bytes(data)); }
    QString hex()
    {
        std::array<uint8_t, SHA256_DIGEST_SIZE> digest;
        sha256_digest(&context, digest.size(), digest.data());
        return QString::fromLatin1(
            QByteArray::fromRawData(reinterpret_cast<const char *>(digest.data()),
                                    int(digest.size()))
                .toHex());
    }

private:
    static const uint8_t *bytes(const char *data)
    {
        return reinterpret_cast<const uint8_t *>(data);
    }
    sha256_ctx context;
};

QString sha256OfFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    Sha256 hash;
    std::array<char, 64 * 1024> buffer;
    qint64 count = 0;
    while ((count = file.read(buffer.data(), qint64(buffer.size()))) > 0)
        hash.add(buffer.data(), count);
    // A directory opens on Linux and then fails to read: it has no hash.
    return count < 0 ? QString() : hash.hex();
}

// The hash is asked for only when a run writes its outputs, after the test: taken meanwhile on a
// thread of its own, it leaves the test's thread to start at once. One thread, so that hashing
// competes with the test for at most one core.
class HashingThread : public QThreadPool
{
public:
    HashingThread() { setMaxThreadCount(1); }
};

// The bytes are shared with the job, so they outlive a reader that drops them first.
std::shared_future<QString> hashLater(const FileBytes &bytes)
{
    static HashingThread thread;
    auto promise = std::make_shared<std::promise<QString>>();
    std::shared_future<QString> sha256 = promise->get_future().share();
    thread.start(QRunnable::create([promise, bytes] {
        Sha256 hash;
        hash.add(bytes.constData(), bytes.size());
        promise->set_value(hash.hex());
    }));
    return sha256;
}

struct Digests
{
    QMutex mutex;
    QHash<QString, Digest> byPath; // guarded by mutex
};

Digests &digests()
{
    static Digests remembered;
    return remembered;
}

} // namespace

void FileDigest::remember(const QString &path, int handle, const FileBytes &bytes)
{
    struct stat status;
    if (::fstat(handle, &status) != 0)
        return;
    Digest digest { stampOf(status), hashLater(bytes) };
    Digests &all = digests();
    const QMutexLocker locker(&all.mutex);
    all.byPath.insert(path, std::move(digest));
}

QString FileDigest::sha256Of(const QString &path)
{
    struct stat status;
    if (::stat(QFile::encodeName(path).constData(), &status) != 0)
        return sha256OfFile(path);
    std::shared_future<QString> remembered;
    {
        Digests &all = digests();
        const QMutexLocker locker(&all.mutex);
        const auto found = all.byPath.constFind(path);
        if (found != all.byPath.cend() && found->stamp == stampOf(status))
            remembered = found->sha256;
    }
    // Waited for outside the lock: a reader remembering another file need not wait with it.
    return remembered.valid() ? remembered.get() : sha256OfFile(path);
}
