#include "GoldRecords.h"
#include "support/Files.h"
#include "support/Golden.h"
#include "support/LogCapture.h"
#include "support/ProtoData.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <stdexcept>

using GoldTestSupport::readGold;

namespace {

class ProtoIOTest : public testing::Test
{
protected:
    QString path(const QString &name) const { return dir.filePath(name); }

    QTemporaryDir dir;
};

// A permission out of range on the wire reads as public.
TEST_F(ProtoIOTest, EveryFieldSurvivesARoundTripAndAbsentFieldsStayAbsent)
{
    const JClasses written = protoData<JClasses>("goldformat/full.textproto");
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

    // JClasses{classes: JClass{fields: JField{permission: 7}, permission: 7}}: out of range.
    writeFile(path("perm7.javagold"), QByteArray::fromHex("0a064a0218073007"));
    const auto perm7 = readGold(path("perm7.javagold"));
    ASSERT_EQ(perm7->classes_size(), 1);
    EXPECT_EQ(perm7->classes(0).fields(0).permission(), JP_PUBLIC);
    EXPECT_EQ(perm7->classes(0).permission(), JP_PUBLIC);
}

// Only a regular file is read (opening a FIFO would wait for a writer forever); one over the byte
// limit or of records too many for memory (6 MB of empty records would take about 500 MB parsed)
// is refused before parsing; a damaged one does not parse. Each says why, and nothing is logged
// until a caller handles it. The golden file shows the temporary folder as $TMP.
TEST_F(ProtoIOTest, AFileThatIsNoWholeGoldFileIsRefusedNamingWhy)
{
    const QByteArray full = QByteArray::fromStdString(
        protoData<JClasses>("goldformat/full.textproto").SerializeAsString());
    const auto records = [](int count) { return QByteArray("\x0A\x00", 2).repeated(count); };
    ASSERT_TRUE(QDir(dir.path()).mkdir("folder.javagold"));
    ASSERT_EQ(mkfifo(QFile::encodeName(path("fifo.javagold")).constData(), 0600), 0);
    writeFile(path("huge.javagold"),
              records((64 << 20) / 2 + 1)); // reading up to the limit would pass
    writeFile(path("records.javagold"), records(3 << 20));
    writeFile(path("text.javagold"), "this is not a gold file\n");
    for (int length : { 1, 2, 10, full.size() / 2, full.size() - 1 })
        writeFile(path(QString("cut%1.javagold").arg(length)), full.left(length));
    const QStringList names
        = QDir(dir.path()).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot)
        << "missing.javagold";
    QString out;
    for (const QString &name : names) {
        const LogCapture log;
        const ProtoIO::Read read = ProtoIO::read(path(name));
        EXPECT_TRUE(log.texts(Logger::L_ERROR).isEmpty()) << "the caller logs what it handles";
        EXPECT_EQ(read.classes == nullptr, !read.problem.isEmpty());
        out += read.classes ? "read\n" : read.problem + "\n";
    }
    Golden::expectEqual("goldformat/unreadable.txt", out.replace(dir.path(), "$TMP").toUtf8());
}

} // namespace
