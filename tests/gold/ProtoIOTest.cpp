#include "GoldTestSupport.h"
#include "support/Files.h"
#include "support/LogCapture.h"
#include "support/ProtoData.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <functional>
#include <stdexcept>

using GoldTestSupport::readGold;

namespace {

// Expects the action to throw the message and to log it once at ERROR.
void expectFailure(const std::function<void()> &action, const QString &message)
{
    LogCapture log;
    try {
        action();
        ADD_FAILURE() << "no exception: " << message.toStdString();
    } catch (const std::runtime_error &e) {
        EXPECT_EQ(QString::fromLocal8Bit(e.what()), message);
    }
    EXPECT_EQ(log.texts(Logger::L_ERROR), QStringList { message });
}

class ProtoIOTest : public testing::Test
{
protected:
    QString path(const QString &name) const { return dir.filePath(name); }

    // The pointer is cleared on a damaged file and left alone on one that could not be opened or
    // was too large.
    void expectReadFailure(const QString &name, const QString &message, bool cleared = false)
    {
        JClasses untouched; // a recognisable pointer that must never be dereferenced or freed
        JClasses *classes = &untouched;
        expectFailure([&] { ProtoIO::read(classes, path(name)); }, message);
        EXPECT_EQ(classes, cleared ? nullptr : &untouched);
    }

    void expectUnopened(const QString &name)
    {
        expectReadFailure(name, "Could not open file " + path(name) + " for reading");
    }

    QTemporaryDir dir;
};

TEST_F(ProtoIOTest, EveryFieldSurvivesARoundTripAndAbsentFieldsStayAbsent)
{
    const JClasses written = protoData<JClasses>("gold/full.textproto");
    ProtoIO::write(&written, path("full.javagold"));
    const auto read = readGold(path("full.javagold"));
    ASSERT_TRUE(read);
    EXPECT_EQ(read->SerializeAsString(), written.SerializeAsString());
    EXPECT_EQ(read->classes(0).methods(0).exceptions(1), "Ljava/lang/Throwable;");
    const JClass &bare = read->classes(1);
    EXPECT_FALSE(bare.has_parent() || bare.has_permission() || bare.has_major_version());
    EXPECT_EQ(bare.permission(), JP_PUBLIC);

    const JClasses empty;
    ProtoIO::write(&empty, path("empty.javagold"));
    EXPECT_EQ(QFileInfo(path("empty.javagold")).size(), 0);
    EXPECT_EQ(readGold(path("empty.javagold"))->classes_size(), 0);
}

TEST_F(ProtoIOTest, AnOutOfRangePermissionOnTheWireReadsAsPublic)
{
    // JClasses{classes: JClass{fields: JField{permission: 7}, permission: 7}}
    writeFile(path("perm7.javagold"), QByteArray::fromHex("0a064a0218073007"));
    const auto read = readGold(path("perm7.javagold"));
    ASSERT_EQ(read->classes_size(), 1);
    EXPECT_EQ(read->classes(0).fields(0).permission(), JP_PUBLIC);
    EXPECT_EQ(read->classes(0).permission(), JP_PUBLIC);
}

TEST_F(ProtoIOTest, OnlyARegularFileIsAGoldFile)
{
    expectUnopened("missing.javagold");
    ASSERT_TRUE(QDir(dir.path()).mkdir("folder.javagold"));
    expectUnopened("folder.javagold");
    // Opening a FIFO would wait for a writer forever.
    ASSERT_EQ(mkfifo(QFile::encodeName(path("fifo.javagold")).constData(), 0600), 0);
    expectUnopened("fifo.javagold");
}

TEST_F(ProtoIOTest, AFileOverTheLimitIsRefusedRatherThanReadInPart)
{
    // Empty class records, one more than the limit holds: reading up to the limit would pass.
    const int limit = 64 << 20;
    QByteArray records;
    records.reserve(limit + 2);
    while (records.size() <= limit)
        records.append("\x0A\x00", 2);
    writeFile(path("huge.javagold"), records);
    expectReadFailure("huge.javagold",
                      QString("Could not read file %1: a gold file may hold at most %2 bytes")
                          .arg(path("huge.javagold"))
                          .arg(limit));
}

TEST_F(ProtoIOTest, AFileOfRecordsTooManyForMemoryIsRefusedBeforeParsing)
{
    // 6 MB of empty class records, far below the byte limit, would take about 500 MB parsed.
    QByteArray records;
    for (int i = 0; i < 3 << 20; ++i)
        records.append("\x0A\x00", 2);
    writeFile(path("records.javagold"), records);
    expectReadFailure(
        "records.javagold",
        QString("Could not read file %1: its records would take more than 512 MiB of memory")
            .arg(path("records.javagold")));
}

TEST_F(ProtoIOTest, DamagedFilesAreRejectedAndThePointerCleared)
{
    const JClasses full = protoData<JClasses>("gold/full.textproto");
    const QByteArray bytes = QByteArray::fromStdString(full.SerializeAsString());
    // Cut off in the middle of a record: every proper prefix that ends inside the first class.
    for (int length : { 1, 2, 10, bytes.size() / 2, bytes.size() - 1 }) {
        writeFile(path("cut.javagold"), bytes.left(length));
        expectReadFailure(
            "cut.javagold", "Could not deserialize from file " + path("cut.javagold"), true);
    }
    // Plain text is not a protobuf message at all.
    writeFile(path("text.javagold"), "this is not a gold file\n");
    expectReadFailure(
        "text.javagold", "Could not deserialize from file " + path("text.javagold"), true);
}

TEST_F(ProtoIOTest, WriteFailuresAreReportedAndThrown)
{
    const QString target = path("no/such/dir/out.javagold");
    const JClasses root = protoData<JClasses>("gold/full.textproto");
    expectFailure([&] { ProtoIO::write(&root, target); },
                  "Could not open file " + target + " for writing");
    // Opens fine, but every write fails for lack of space.
    if (QFileInfo::exists("/dev/full"))
        expectFailure([&] { ProtoIO::write(&root, "/dev/full"); },
                      "Could not serialize to file /dev/full");
}

} // namespace
