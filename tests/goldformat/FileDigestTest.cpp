#include "goldformat/FileDigest.h"

#include "support/Files.h"

#include <QCryptographicHash>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <algorithm>

namespace {

// Qt's own hash, as sha256sum would print it: the description's figure must not change with the
// library that computes it.
QString expectedSha256(const QByteArray &bytes)
{
    return QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex());
}

// The bytes are handed over as a reader hands them, and dropped at once, as a loader may drop them.
void remember(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    FileBytes read = FileBytes::withRoomFor(bytes.size());
    std::copy(bytes.cbegin(), bytes.cend(), read.data());
    FileDigest::remember(path, file.handle(), read);
}

class FileDigestTest : public testing::Test
{
protected:
    QString path(const QString &name) const { return dir.filePath(name); }

    QTemporaryDir dir;
};

// Empty, shorter than a block, and across the fallback's buffers.
TEST_F(FileDigestTest, AFileNeverRememberedIsHashedAsItIs)
{
    for (const QByteArray &bytes :
         { QByteArray(), QByteArray("abc"), QByteArray(200 * 1024 + 7, '\x5a') }) {
        writeFile(path("f"), bytes);
        EXPECT_EQ(FileDigest::sha256Of(path("f")), expectedSha256(bytes)) << bytes.size();
    }
}

TEST_F(FileDigestTest, WhatCannotBeReadHasNoHash)
{
    EXPECT_EQ(FileDigest::sha256Of(path("missing.javagold")), QString());
    EXPECT_EQ(FileDigest::sha256Of(dir.path()), QString());
}

// The remembered bytes stand for the file, so a run's description never reads it again; bytes
// that differ from the file show which was hashed.
TEST_F(FileDigestTest, TheBytesReadAreHashedNotTheFileAgain)
{
    writeFile(path("g.javagold"), "on disk");
    remember(path("g.javagold"), "as read");
    EXPECT_EQ(FileDigest::sha256Of(path("g.javagold")), expectedSha256("as read"));
}

// A gold file rebuilt between two runs of the window is hashed as it now is, whether it was
// replaced (as builds write it) or written again in place.
TEST_F(FileDigestTest, AFileChangedSinceItWasReadIsHashedAgain)
{
    writeFile(path("g.javagold"), "old");
    remember(path("g.javagold"), "old");
    writeFile(path("new"), "replaced");
    ASSERT_TRUE(QFile::remove(path("g.javagold")));
    ASSERT_TRUE(QFile::rename(path("new"), path("g.javagold")));
    EXPECT_EQ(FileDigest::sha256Of(path("g.javagold")), expectedSha256("replaced"));

    remember(path("g.javagold"), "replaced");
    writeFile(path("g.javagold"), "rewritten");
    EXPECT_EQ(FileDigest::sha256Of(path("g.javagold")), expectedSha256("rewritten"));
}

// Hashes are taken while the reader goes on: each file still gets the hash of its own bytes, and
// a file read again the hash of what was read last, however the hashing and the asking interleave.
TEST_F(FileDigestTest, EachFileGetsTheHashOfTheBytesLastReadFromIt)
{
    const int count = 12;
    for (int i = 0; i < count; ++i) {
        writeFile(path(QString::number(i)), "on disk");
        remember(path(QString::number(i)), QByteArray(64 * 1024 * i + 1, char('a' + i)));
    }
    remember(path("0"), "read again");
    EXPECT_EQ(FileDigest::sha256Of(path("0")), expectedSha256("read again"));
    for (int i = count - 1; i > 0; --i)
        EXPECT_EQ(FileDigest::sha256Of(path(QString::number(i))),
                  expectedSha256(QByteArray(64 * 1024 * i + 1, char('a' + i))))
            << i;
}

} // namespace
