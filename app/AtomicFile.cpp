#include "app/AtomicFile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <streambuf>
#include <vector>

/// Collects what the stream writes and hands it to the file in large pieces. The file itself is
/// unbuffered, so that a write that fails fails here, where the stream and the file learn of it.
class AtomicFile::DeviceBuffer : public std::streambuf
{
public:
    explicit DeviceBuffer(QIODevice &device)
        : device(device)
        , space(64 * 1024)
    {
        setp(space.data(), space.data() + space.size());
    }

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
    // the rest, so that the reason shows as the file's error.
    bool drain()
    {
        for (const char *at = pbase(); at < pptr();) {
            const qint64 written = device.write(at, pptr() - at);
            if (written <= 0)
                return false;
            at += written;
        }
        setp(space.data(), space.data() + space.size());
        return true;
    }

    QIODevice &device;
    std::vector<char> space;
};

AtomicFile::AtomicFile(const QString &path)
    : path(path)
    , out(nullptr)
{
}

AtomicFile::~AtomicFile() = default;

bool AtomicFile::open()
{
    const QFileInfo target(path);
    if (target.exists() && !target.isFile())
        file = std::make_unique<QFile>(path);
    else
        file = std::make_unique<QSaveFile>(path);
    if (!file->open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return false;
    buffer = std::make_unique<DeviceBuffer>(*file);
    out.rdbuf(buffer.get());
    return true;
}

bool AtomicFile::commit()
{
    if (!file || !file->isOpen())
        return false;
    out.flush();
    // Committing and closing forget why a write failed: the reason is kept before.
    if (file->error() != QFileDevice::NoError)
        writeError = file->errorString();
    if (auto *replacement = qobject_cast<QSaveFile *>(file.get())) {
        // Whatever the stream lost, the file must not pass for whole.
        if (!out.good())
            replacement->cancelWriting();
        return replacement->commit();
    }
    const bool written = out.good() && writeError.isEmpty();
    file->close();
    return written;
}

QString AtomicFile::errorString() const
{
    if (!writeError.isEmpty())
        return writeError;
    return file ? file->errorString() : QString();
}
