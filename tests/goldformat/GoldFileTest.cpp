#include "goldformat/GoldFile.h"

#include "JavaTypes.pb.h"
#include "support/Files.h"
#include "support/LogCapture.h"
#include "support/ProtoData.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <random>

namespace {

class GoldFileTest : public testing::Test
{
protected:
    QString path(const QString &name) const { return dir.filePath(name); }

    /// Opens the bytes as a gold file and parses them as one message: both must take or refuse
    /// them alike, and what is taken must be the same records under the same names.
    void expectJudgedAsTheParserDoes(const QByteArray &bytes, const QString &what)
    {
        SCOPED_TRACE(what.toStdString() + " " + bytes.toHex().toStdString());
        // A new file each time: a file cut short and written again waits for the disk.
        const QString file = path(QString("case%1.javagold").arg(taken + refused));
        writeFile(file, bytes);
        JClasses whole;
        const bool parses = whole.ParseFromArray(bytes.constData(), bytes.size());
        const LogCapture log;
        const GoldFile::Opened opened = GoldFile::open(file);
        EXPECT_TRUE(log.texts(Logger::L_ERROR).isEmpty()) << "the caller logs what it handles";
        if (opened.damaged) {
            EXPECT_FALSE(parses) << "refused, but the parser takes it";
        } else {
            ASSERT_TRUE(opened.file) << opened.problem.toStdString();
            ASSERT_TRUE(parses) << "opened, but the parser refuses it";
            GoldFile &gold = *opened.file;
            ASSERT_EQ(gold.getRecordCount(), whole.classes_size());
            for (int index = 0; index < whole.classes_size(); ++index) {
                const JClass &expected = whole.classes(index);
                EXPECT_EQ(gold.getName(index),
                          QString::fromLatin1(expected.name().data(), int(expected.name().size())));
                EXPECT_EQ(gold.getRecord(index).SerializeAsString(), expected.SerializeAsString());
            }
        }
        ++(parses ? taken : refused);
    }

    QTemporaryDir dir;
    int taken = 0;
    int refused = 0;
};

// Groups are not in the schema but parse as unknown fields, nested up to 100 deep counting the
// records around them.
QByteArray nestedGroups(int depth)
{
    return QByteArray(depth, '\x13') + QByteArray(depth, '\x14');
}

// The wire format's corner cases, each judged by the parser itself: tags of 0 and of field 0,
// end tags out of place, the longest tags, lengths and numbers the parser reads and one byte
// more, wire types 6 and 7, fixed numbers cut short, fields of the schema with another wire
// type, a name given twice, and members that reach past their class.
TEST_F(GoldFileTest, JudgesTheWireFormatsCornersAsTheParserDoes)
{
    const QList<QPair<const char *, QByteArray>> cases {
        { "empty", "" },
        { "tag 0", QByteArray::fromHex("00") },
        { "tag 0 in a class", QByteArray::fromHex("0a0100") },
        { "tag 0 written long", QByteArray::fromHex("8000") },
        { "field 0 as a text", QByteArray::fromHex("0200") },
        { "end of a group never started", QByteArray::fromHex("0c") },
        { "a group ended by another field's end", QByteArray::fromHex("131c") },
        { "a group never ended", QByteArray::fromHex("13") },
        { "a five-byte tag", QByteArray::fromHex("8a8080800000") },
        { "a six-byte tag", QByteArray::fromHex("8a808080800000") },
        { "a five-byte tag past 32 bits", QByteArray::fromHex("8a8080807000") },
        { "a five-byte length", QByteArray::fromHex("0a8080808000") },
        { "a six-byte length", QByteArray::fromHex("0a808080808000") },
        { "a ten-byte number", QByteArray::fromHex("10ffffffffffffffffff01") },
        { "an eleven-byte number", QByteArray::fromHex("10ffffffffffffffffffff01") },
        { "wire type 6", QByteArray::fromHex("1600") },
        { "wire type 7", QByteArray::fromHex("1700") },
        { "a fixed32 cut short", QByteArray::fromHex("15000000") },
        { "a fixed32", QByteArray::fromHex("1500000000") },
        { "a fixed64 in a member", QByteArray::fromHex("0a0b4a09190000000000000000") },
        { "classes as a number", QByteArray::fromHex("0801") },
        { "members as numbers", QByteArray::fromHex("0a0448015001") },
        { "a name given twice", QByteArray::fromHex("0a061a01411a0142") },
        { "a name written with a long tag", QByteArray::fromHex("0a049a000141") },
        { "a member past its class", QByteArray::fromHex("0a024a051203414243") },
        { "a permission out of range", QByteArray::fromHex("0a064a0218073007") },
        { "groups 99 deep in a class", "\x0a\xc6\x01" + nestedGroups(99) },
        { "groups 100 deep in a class", "\x0a\xc8\x01" + nestedGroups(100) },
        { "groups 100 deep", nestedGroups(100) },
        { "groups 101 deep", nestedGroups(101) },
    };
    for (const auto &[what, bytes] : cases)
        expectJudgedAsTheParserDoes(bytes, what);
}

// Seeded mutants of a file with every field set: bytes changed, put in, taken out and cut off,
// many of them bytes that mean something on the wire.
TEST_F(GoldFileTest, JudgesMutantsAsTheParserDoes)
{
    const QByteArray original = QByteArray::fromStdString(
        protoData<JClasses>("goldformat/full.textproto").SerializeAsString());
    const QByteArray telling = QByteArray::fromHex("00010204070b0c0f1314161a4a5280ff");
    std::mt19937 random(27);
    const auto below = [&random](int bound) { return int(random() % unsigned(bound)); };
    for (int mutant = 0; mutant < 3000; ++mutant) {
        QByteArray bytes = original;
        for (int change = below(3); change >= 0 && !bytes.isEmpty(); --change) {
            const int at = below(bytes.size());
            const char byte = below(2) ? telling.at(below(telling.size())) : char(below(256));
            switch (below(4)) {
            case 0:
                bytes[at] = byte;
                break;
            case 1:
                bytes.insert(at, byte);
                break;
            case 2:
                bytes.remove(at, 1);
                break;
            default:
                bytes.truncate(at);
            }
        }
        expectJudgedAsTheParserDoes(bytes, QString("mutant %1").arg(mutant));
    }
    // Both answers must be common, or the comparison says little.
    EXPECT_GT(taken, 200);
    EXPECT_GT(refused, 200);
}

// Names are found in any record order; of two records of one name the first in the file wins; a
// record without a name is found under the empty name; names are Latin-1 text. A record is parsed
// once.
TEST_F(GoldFileTest, FindsTheFirstRecordOfEachNameInAnyOrder)
{
    JClasses root;
    for (const auto &[name, parent] : { std::pair { "Lb;", "first" },
                                        { "La;", "" },
                                        { "Lb;", "second" },
                                        { nullptr, "nameless" },
                                        { "L\xe9;", "" } }) {
        JClass *record = root.add_classes();
        if (name)
            record->set_name(name);
        record->set_parent(parent);
    }
    writeFile(path("names.javagold"), QByteArray::fromStdString(root.SerializeAsString()));
    const GoldFile::Opened opened = GoldFile::open(path("names.javagold"));
    ASSERT_TRUE(opened.file);
    GoldFile &file = *opened.file;
    EXPECT_EQ(file.indexOf("Lb;"), 0);
    EXPECT_EQ(file.getRecord(0).parent(), "first");
    EXPECT_EQ(file.indexOf("La;"), 1);
    EXPECT_EQ(file.indexOf(""), 3);
    EXPECT_EQ(file.indexOf(QString::fromUtf8("L\u00e9;")), 4);
    EXPECT_EQ(file.getName(4), QString::fromUtf8("L\u00e9;"));
    for (const char *absent : { "Lc;", "L", "Lb;x", "L\u0100;" })
        EXPECT_EQ(file.indexOf(QString::fromUtf8(absent)), -1) << absent;
    EXPECT_EQ(&file.getRecord(2), &file.getRecord(2));
}

} // namespace
