#include "gold/ProtoIO.h"

#include "app/AtomicFile.h"
#include "app/Logger.h"

#include <QFile>
#include <QFileInfo>
#include <QRegExp>

#include <fstream>
#include <memory>
#include <stdexcept>

namespace {

// Gold files have always been read within the coded stream's classic 64 MiB limit; keeping it
// explicit keeps a hostile file from making the runtime buffer more than that.
constexpr int maxGoldFileBytes = 64 << 20;

[[noreturn]] void fail(const QString &message)
{
    logLine(Logger::L_ERROR, message);
    throw std::runtime_error(message.toLocal8Bit().toStdString());
}

// The whole file, read at once; a file past the limit is refused rather than read in part, which
// would drop the classes behind the cut without a word.
QByteArray readGoldFile(const QString &path)
{
    QFile file(path);
    // Only a regular file: a directory opens on Linux and then reads as nothing, which would pass
    // for an empty file, and opening a FIFO would wait for a writer forever.
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly))
        fail(QString("Could not open file %1 for reading").arg(path));
    QByteArray bytes = file.read(qint64(maxGoldFileBytes) + 1);
    if (bytes.size() > maxGoldFileBytes)
        fail(QString("Could not read file %1: a gold file may hold at most %2 bytes")
                 .arg(path)
                 .arg(maxGoldFileBytes));
    if (file.error() != QFileDevice::NoError)
        fail(QString("Could not deserialize from file %1").arg(path));
    return bytes;
}

// Parsed records cost far more than their bytes: an empty class record is 2 bytes in the file
// and about 170 in memory, so 64 MiB of them would take gigabytes. What a file's records would
// take is estimated from its wire format before it is parsed, and a file past this is refused.
constexpr qint64 maxGoldRecordBytes = qint64(512) << 20;
constexpr qint64 messageCost = 192; // a JClass, JField or JMethod and its slot
constexpr qint64 stringCost = 40; // a string and its slot, before its characters
constexpr qint64 otherFieldCost = 16; // a number, or an unknown field kept aside

bool readVarint(const uchar *&at, const uchar *end, quint64 &value)
{
    value = 0;
    for (int shift = 0; shift < 64 && at < end; shift += 7) {
        const uchar byte = *at++;
        value |= quint64(byte & 0x7f) << shift;
        if (!(byte & 0x80))
            return true;
    }
    return false;
}

// The fields that hold records: JClasses.classes at the top, JClass.fields and JClass.methods in a
// class. The schema fixes these three levels, so the recursion goes no deeper.
bool holdsRecords(int level, quint64 field)
{
    return (level == 0 && field == 1) || (level == 1 && (field == 9 || field == 10));
}

/// What the records of a message's bytes would take in memory; bytes that do not parse end the
/// estimate, and the parse then refuses them.
qint64 recordBytes(const uchar *at, const uchar *end, int level)
{
    qint64 cost = 0;
    quint64 key = 0;
    while (at < end && readVarint(at, end, key)) {
        quint64 value = 0;
        switch (key & 7) {
        case 0: // varint
            if (!readVarint(at, end, value))
                return cost;
            cost += otherFieldCost;
            break;
        case 1: // fixed64
        case 5: // fixed32
            value = (key & 7) == 1 ? 8 : 4;
            if (value > quint64(end - at))
                return cost;
            at += value;
            cost += otherFieldCost;
            break;
        case 2: // length-delimited: a record or a string
            if (!readVarint(at, end, value) || value > quint64(end - at))
                return cost;
            if (holdsRecords(level, key >> 3))
                cost += messageCost + recordBytes(at, at + value, level + 1);
            else
                cost += stringCost + qint64(value);
            at += value;
            break;
        default: // groups are not in the schema
            return cost;
        }
    }
    return cost;
}

bool parseWhole(JClasses &classes, const QByteArray &bytes, const QString &path)
{
    const auto *data = reinterpret_cast<const uchar *>(bytes.constData());
    if (recordBytes(data, data + bytes.size(), 0) > maxGoldRecordBytes)
        fail(QString("Could not read file %1: its records would take more than %2 MiB of memory")
                 .arg(path)
                 .arg(maxGoldRecordBytes >> 20));
    return classes.ParseFromArray(bytes.constData(), bytes.size());
}

} // namespace

// The old file stays whole until the new one is: a build that fails on a full disk keeps it.
void ProtoIO::write(const JClasses *classes, const QString &path)
{
    AtomicFile file(path);
    if (!file.open())
        fail(QString("Could not open file %1 for writing").arg(path));
    // SerializePartial: the schema has no required fields, so there is nothing to check.
    if (!classes->SerializePartialToOstream(&file.stream()) || !file.commit())
        fail(QString("Could not serialize to file %1").arg(path));
}

void ProtoIO::read(JClasses *&classes, const QString &path)
{
    const QByteArray bytes = readGoldFile(path);
    auto root = std::make_unique<JClasses>();
    if (!parseWhole(*root, bytes, path)) {
        classes = nullptr;
        fail(QString("Could not deserialize from file %1").arg(path));
    }
    classes = root.release();
}

JClasses *ProtoIO::read(google::protobuf::Arena &arena, const QString &path)
{
    const QByteArray bytes = readGoldFile(path);
    JClasses *root = google::protobuf::Arena::CreateMessage<JClasses>(&arena);
    if (!parseWhole(*root, bytes, path))
        fail(QString("Could not deserialize from file %1").arg(path));
    return root;
}

// QString::contains matches on its own copy of the expression, which shares the compiled pattern,
// so the shared instances below are never changed by a match.
bool ProtoIO::isAnonymousClass(const QString &className)
{
    static const QRegExp pattern("\\$[0-9]+$", Qt::CaseSensitive);
    return className.contains(pattern);
}

bool ProtoIO::isFieldForAnonymousClass(const QString &fieldName)
{
    static const QRegExp pattern("this\\$[0-9]+$", Qt::CaseSensitive);
    return fieldName.contains(pattern);
}

bool ProtoIO::isMethodForAnonymousClass(const QString &methodName)
{
    static const QRegExp pattern("access\\$[0-9]+$", Qt::CaseSensitive);
    return methodName.contains(pattern);
}
