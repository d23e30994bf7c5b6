#include "gold/ProtoIO.h"
#include "support/LogCapture.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <memory>
#include <stdexcept>

namespace {

class ProtoIOTest : public testing::Test
{
protected:
    QString path(const QString &name) const { return dir.filePath(name); }

    void writeBytes(const QString &name, const QByteArray &bytes) const
    {
        QFile file(path(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_EQ(file.write(bytes), bytes.size());
    }

    // Reads name and expects the failure message both logged at ERROR and thrown.
    void expectReadFailure(const QString &name, const QString &message, JClasses *expectedPointer)
    {
        LogCapture log;
        JClasses *classes = sentinel();
        try {
            ProtoIO::read(classes, path(name));
            ADD_FAILURE() << "no exception for " << name.toStdString();
        } catch (const std::runtime_error &e) {
            EXPECT_EQ(QString::fromLocal8Bit(e.what()), message);
        }
        EXPECT_EQ(classes, expectedPointer);
        EXPECT_EQ(log.texts(Logger::L_ERROR), QStringList { message });
    }

    // A recognisable pointer that must never be dereferenced or freed.
    JClasses *sentinel() { return &sentinelRoot; }

public:
    static JClasses fullRoot()
    {
        JClasses root;
        JClass *cls = root.add_classes();
        cls->set_filename("List.class");
        cls->set_package("java.util");
        cls->set_name("Ljava/util/List;");
        cls->set_parent("Ljava/lang/Object;");
        cls->add_interfaces("Ljava/util/Collection;");
        cls->add_interfaces("Ljava/lang/Iterable;");
        cls->set_permission(JP_PACKAGE);
        cls->set_final(true);
        cls->set_static_(true);
        cls->set_abstract(true);
        cls->set_interface(true);
        cls->set_major_version(52);
        JField *field = cls->add_fields();
        field->set_name("serialVersionUID");
        field->set_descriptor_("J");
        field->set_permission(JP_PRIVATE);
        field->set_final(true);
        field->set_static_(true);
        JMethod *method = cls->add_methods();
        method->set_name("invoke");
        method->set_descriptor_("([Ljava/lang/Object;)Ljava/lang/Object;");
        method->set_permission(JP_PROTECTED);
        method->set_final(true);
        method->set_static_(true);
        method->add_exceptions("Ljava/io/IOException;");
        method->add_exceptions("Ljava/lang/Throwable;");
        method->set_requireinspection(true);
        method->set_signature_polymorphic(true);
        root.add_classes()->set_name("LBare;"); // every optional field absent
        return root;
    }

protected:
    QTemporaryDir dir;
    JClasses sentinelRoot;
};

TEST_F(ProtoIOTest, EveryFieldSurvivesARoundTripAndAbsentFieldsStayAbsent)
{
    const JClasses written = fullRoot();
    ProtoIO::write(&written, path("full.javagold"));
    JClasses *read = nullptr;
    ProtoIO::read(read, path("full.javagold"));
    std::unique_ptr<JClasses> owner(read);
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(read->SerializeAsString(), written.SerializeAsString());
    ASSERT_EQ(read->classes_size(), 2);
    EXPECT_EQ(read->classes(0).interfaces(1), "Ljava/lang/Iterable;");
    EXPECT_EQ(read->classes(0).methods(0).exceptions(1), "Ljava/lang/Throwable;");
    const JClass &bare = read->classes(1);
    EXPECT_FALSE(bare.has_parent());
    EXPECT_FALSE(bare.has_permission());
    EXPECT_EQ(bare.permission(), JP_PUBLIC);
    EXPECT_FALSE(bare.has_major_version());
}

TEST_F(ProtoIOTest, AnEmptyRootIsAnEmptyFileAndBack)
{
    const JClasses empty;
    ProtoIO::write(&empty, path("empty.javagold"));
    EXPECT_TRUE(QFileInfo(path("empty.javagold")).exists());
    EXPECT_EQ(QFileInfo(path("empty.javagold")).size(), 0);
    JClasses *read = nullptr;
    ProtoIO::read(read, path("empty.javagold"));
    std::unique_ptr<JClasses> owner(read);
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(read->classes_size(), 0);
}

TEST_F(ProtoIOTest, AnOutOfRangePermissionOnTheWireReadsAsPublic)
{
    // JClasses{classes: JClass{fields: JField{permission: 7}, permission: 7}}
    writeBytes("perm7.javagold",
               QByteArray::fromHex("0a06"
                                   "4a021807"
                                   "3007"));
    JClasses *read = nullptr;
    ProtoIO::read(read, path("perm7.javagold"));
    std::unique_ptr<JClasses> owner(read);
    ASSERT_EQ(read->classes_size(), 1);
    EXPECT_EQ(read->classes(0).fields(0).permission(), JP_PUBLIC);
    EXPECT_EQ(read->classes(0).permission(), JP_PUBLIC);
}

TEST_F(ProtoIOTest, AMissingFileLeavesThePointerUnchanged)
{
    expectReadFailure("missing.javagold",
                      "Could not open file " + path("missing.javagold") + " for reading",
                      sentinel());
}

TEST_F(ProtoIOTest, OnlyARegularFileIsAGoldFile)
{
    ASSERT_TRUE(QDir(dir.path()).mkdir("folder.javagold"));
    expectReadFailure("folder.javagold",
                      "Could not open file " + path("folder.javagold") + " for reading",
                      sentinel());
    // Opening a FIFO would wait for a writer forever.
    ASSERT_EQ(mkfifo(QFile::encodeName(path("fifo.javagold")).constData(), 0600), 0);
    expectReadFailure("fifo.javagold",
                      "Could not open file " + path("fifo.javagold") + " for reading",
                      sentinel());
}

TEST_F(ProtoIOTest, AFileOverTheLimitIsRefusedRatherThanReadInPart)
{
    // Empty class records, one more than the limit holds: reading up to the limit would pass.
    const int limit = 64 << 20;
    QByteArray records;
    records.reserve(limit + 2);
    while (records.size() <= limit)
        records.append("\x0A\x00", 2);
    writeBytes("huge.javagold", records);
    expectReadFailure("huge.javagold",
                      QString("Could not read file %1: a gold file may hold at most %2 bytes")
                          .arg(path("huge.javagold"))
                          .arg(limit),
                      sentinel());
}

TEST_F(ProtoIOTest, AFileOfRecordsTooManyForMemoryIsRefusedBeforeParsing)
{
    // 6 MB of empty class records, far below the byte limit, would take about 500 MB parsed.
    QByteArray records;
    for (int i = 0; i < 3 << 20; ++i)
        records.append("\x0A\x00", 2);
    writeBytes("empty.javagold", records);
    expectReadFailure(
        "empty.javagold",
        QString("Could not read file %1: its records would take more than 512 MiB of memory")
            .arg(path("empty.javagold")),
        sentinel());
}

TEST_F(ProtoIOTest, DamagedFilesAreRejectedAndThePointerCleared)
{
    const JClasses full = fullRoot();
    const QByteArray bytes = QByteArray::fromStdString(full.SerializeAsString());
    // Cut off in the middle of a record: every proper prefix that ends inside the first class.
    for (int length : { 1, 2, 10, bytes.size() / 2, bytes.size() - 1 }) {
        writeBytes("cut.javagold", bytes.left(length));
        expectReadFailure(
            "cut.javagold", "Could not deserialize from file " + path("cut.javagold"), nullptr);
    }
    // Plain text is not a protobuf message at all.
    writeBytes("text.javagold", "this is not a gold file\n");
    expectReadFailure(
        "text.javagold", "Could not deserialize from file " + path("text.javagold"), nullptr);
}

void expectWriteFailure(const QString &target, const QString &message)
{
    LogCapture log;
    const JClasses root = ProtoIOTest::fullRoot();
    try {
        ProtoIO::write(&root, target);
        ADD_FAILURE() << "no exception for " << target.toStdString();
    } catch (const std::runtime_error &e) {
        EXPECT_EQ(QString::fromLocal8Bit(e.what()), message);
    }
    EXPECT_EQ(log.texts(Logger::L_ERROR), QStringList { message });
}

TEST_F(ProtoIOTest, WriteFailuresAreReportedAndThrown)
{
    const QString target = path("no/such/dir/out.javagold");
    expectWriteFailure(target, "Could not open file " + target + " for writing");
    // Opens fine, but every write fails for lack of space.
    if (QFileInfo::exists("/dev/full"))
        expectWriteFailure("/dev/full", "Could not serialize to file /dev/full");
}

} // namespace
