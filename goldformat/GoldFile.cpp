#include "goldformat/GoldFile.h"

#include "base/Logger.h"
#include "goldformat/FileDigest.h"

#include "JavaTypes.pb.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cstring>
#include <numeric>

namespace {

// Gold files have always been read within the coded stream's classic 64 MiB limit; keeping it
// explicit keeps a hostile file from making the runtime buffer more than that.
constexpr int maxGoldFileBytes = 64 << 20;

// Parsed records cost far more than their bytes: an empty class record is 2 bytes in the file
// and about 170 in memory, so 64 MiB of them would take gigabytes. What a file's records would
// take is estimated from its wire format, and a file past this is refused, though only the
// records a run asks for are parsed: a test of the interface asks for all of them.
constexpr qint64 maxGoldRecordBytes = qint64(512) << 20;
constexpr qint64 messageCost = 192; // a JClass, JField or JMethod and its slot
constexpr qint64 stringCost = 40; // a string and its slot, before its characters
constexpr qint64 otherFieldCost = 16; // a number, or an unknown field kept aside

// The parser's own bounds: a tag and a length take at most 5 bytes, a number 10, and records
// and groups nest at most 100 deep. Bytes past them do not parse, so they do not pass here.
constexpr int maxTagBytes = 5;
constexpr int maxLengthBytes = 5;
constexpr int maxNumberBytes = 10;
constexpr int maxNesting = 100;

enum WireType {
    Varint = 0,
    Fixed64 = 1,
    LengthDelimited = 2,
    StartGroup = 3,
    EndGroup = 4,
    Fixed32 = 5
};

// The schema's numbers of the fields the index reads: JClasses.classes, JClass.name,
// JClass.fields and JClass.methods.
constexpr quint32 classesField = 1;
constexpr quint32 nameField = 3;
constexpr quint32 fieldsField = 9;
constexpr quint32 methodsField = 10;

QString damagedMessage(const QString &path)
{
    return QString("Could not deserialize from file %1").arg(path);
}

// The whole file, read at once, or why not; a file past the limit is refused rather than read in
// part, which would drop the classes behind the cut without a word. The room is the file's size,
// taken where the files read before it end.
QString readGoldFile(const QString &path, FileBytes &bytes)
{
    QFile file(path);
    // Only a regular file: a directory opens on Linux and then reads as nothing, which would pass
    // for an empty file, and opening a FIFO would wait for a writer forever.
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly))
        return QString("Could not open file %1 for reading").arg(path);
    const qint64 size = file.size();
    if (size > maxGoldFileBytes)
        return QString("Could not read file %1: a gold file may hold at most %2 bytes")
            .arg(path)
            .arg(maxGoldFileBytes);
    bytes = FileBytes::withRoomFor(int(size));
    // A file that changed while it was read is no whole gold file either.
    const bool whole = file.read(bytes.data(), size) == size && file.read(1).isEmpty();
    if (!whole || file.error() != QFileDevice::NoError)
        return damagedMessage(path);
    FileDigest::remember(path, file.handle(), bytes);
    return QString();
}

// A base-128 number of at most maxBytes bytes; bits past 64 are dropped, as the parser drops them.
bool readLongVarint(const uchar *&at, const uchar *end, int maxBytes, quint64 &value)
{
    value = 0;
    for (int index = 0; index < maxBytes && at < end; ++index) {
        const uchar byte = *at++;
        value |= quint64(byte & 0x7f) << (7 * index);
        if (!(byte & 0x80))
            return true;
    }
    return false;
}

// Nearly every tag, length and number of a gold file is one byte.
inline bool readVarint(const uchar *&at, const uchar *end, int maxBytes, quint64 &value)
{
    if (at < end && *at < 0x80) {
        value = *at++;
        return true;
    }
    return readLongVarint(at, end, maxBytes, value);
}

// How many class records the file's top level holds, so that the index is sized once instead of
// growing through a dozen copies; bytes that stop parsing only end the count early.
size_t countRecords(const uchar *at, const uchar *end)
{
    size_t count = 0;
    quint64 tag = 0;
    quint64 length = 0;
    while (at < end && readVarint(at, end, maxTagBytes, tag) && (tag & 7) == LengthDelimited
           && readVarint(at, end, maxLengthBytes, length) && length <= quint64(end - at)) {
        count += quint32(tag) >> 3 == classesField ? 1 : 0;
        at += length;
    }
    return count;
}

int compareNames(QLatin1String a, QLatin1String b)
{
    const int common = std::memcmp(a.data(), b.data(), size_t(std::min(a.size(), b.size())));
    return common != 0 ? common : a.size() - b.size();
}

} // namespace

/// One pass over a gold file's wire format: whether it parses, what its records would take parsed,
/// and where each class record and its name lie. It allocates nothing but the index.
class GoldFile::Scan
{
public:
    explicit Scan(const FileBytes &bytes)
        : begin(reinterpret_cast<const uchar *>(bytes.constData()))
    {
        const uchar *end = begin + bytes.size();
        const qint64 count = qint64(countRecords(begin, end));
        // Too many records for memory are refused as the whole walk would refuse them, before the
        // index takes memory for each.
        if (count * messageCost > maxGoldRecordBytes) {
            cost = count * messageCost;
            return;
        }
        records.reserve(size_t(count));
        if (!walk<Level::File>(begin, end, 0, 0, nullptr))
            damaged = true;
    }

    bool damaged = false;
    qint64 cost = 0;
    std::vector<Record> records;

private:
    enum class Level { File, Class, Member, Group };

    template<Level level>
    const uchar *walk(const uchar *at, const uchar *end, int depth, quint32 group, Record *record);
    template<Level level> void walkRecord(const uchar *at, const uchar *end);

    const uchar *begin;
};

// The fields of one message, or of one group up to its end tag: where they end, or null where the
// bytes stop parsing at this level; the caller goes on only if it knows where this level ends.
template<GoldFile::Scan::Level level>
const uchar *
GoldFile::Scan::walk(const uchar *at, const uchar *end, int depth, quint32 group, Record *record)
{
    qint64 spent = 0; // kept apart from cost, so that the loop need not write it back each turn
    bool whole = true;
    while (whole && at < end) {
        quint64 tag = 0;
        // A tag of 0, field 0, is the parser's end of a message, out of place in a gold file.
        if (!readVarint(at, end, maxTagBytes, tag) || quint32(tag) >> 3 == 0) {
            whole = false;
            break;
        }
        const quint32 field = quint32(tag) >> 3;
        quint64 value = 0;
        switch (tag & 7) {
        case Varint:
            whole = readVarint(at, end, maxNumberBytes, value);
            spent += otherFieldCost;
            break;
        case Fixed64:
        case Fixed32:
            value = (tag & 7) == Fixed64 ? 8 : 4;
            whole = value <= quint64(end - at);
            at += whole ? value : 0;
            spent += otherFieldCost;
            break;
        case LengthDelimited:
            whole = readVarint(at, end, maxLengthBytes, value) && value <= quint64(end - at);
            if (!whole)
                break;
            if (level == Level::File && field == classesField) {
                walkRecord<Level::Class>(at, at + value);
            } else if (level == Level::Class && (field == fieldsField || field == methodsField)) {
                walkRecord<Level::Member>(at, at + value);
            } else {
                spent += stringCost + qint64(value);
                if (level == Level::Class && field == nameField) { // the last name is the one kept
                    record->nameOffset = int(at - begin);
                    record->nameSize = int(value);
                }
            }
            at += value;
            break;
        case StartGroup: // not in the schema; kept as an unknown field, so it must be whole
            at = depth < maxNesting ? walk<Level::Group>(at, end, depth + 1, field, nullptr)
                                    : nullptr;
            whole = at != nullptr;
            spent += otherFieldCost;
            break;
        case EndGroup:
            cost += spent;
            return level == Level::Group && field == group ? at : nullptr;
        default: // wire types 6 and 7
            whole = false;
        }
    }
    cost += spent;
    return whole && level != Level::Group ? at : nullptr;
}

// A record: its damage is the file's, but its end is known, so the walk goes on after it.
template<GoldFile::Scan::Level level>
void GoldFile::Scan::walkRecord(const uchar *at, const uchar *end)
{
    cost += messageCost;
    Record found { int(at - begin), int(end - at), 0, 0 };
    if (!walk<level>(at, end, level == Level::Class ? 1 : 2, 0, &found))
        damaged = true;
    if (level == Level::Class)
        records.push_back(found);
}

GoldFile::Opened GoldFile::open(const QString &path)
{
    std::unique_ptr<GoldFile> file(new GoldFile(path));
    QString problem = readGoldFile(path, file->bytes);
    if (!problem.isEmpty())
        return { nullptr, problem, false };
    Scan scan(file->bytes);
    if (scan.cost > maxGoldRecordBytes)
        return { nullptr,
                 QString(
                     "Could not read file %1: its records would take more than %2 MiB of memory")
                     .arg(path)
                     .arg(maxGoldRecordBytes >> 20),
                 false };
    if (scan.damaged)
        return { nullptr, damagedMessage(path), true };
    file->index(std::move(scan.records));
    return { std::move(file), QString(), false };
}

GoldFile::GoldFile(const QString &path)
    : path(path)
{
}

void GoldFile::index(std::vector<Record> &&found)
{
    records = std::move(found);
    parsed.assign(records.size(), nullptr);
    byName.resize(records.size());
    std::iota(byName.begin(), byName.end(), 0);
    const auto nameOrder = [this](int a, int b) {
        return compareNames(nameOf(records[size_t(a)]), nameOf(records[size_t(b)])) < 0;
    };
    // The builder writes records in name order; only a file made elsewhere needs sorting.
    if (!std::is_sorted(byName.cbegin(), byName.cend(), nameOrder))
        std::stable_sort(byName.begin(), byName.end(), nameOrder);
}

QString GoldFile::getName(int index) const
{
    return nameOf(records.at(size_t(index)));
}

int GoldFile::indexOf(const QString &name) const
{
    const auto first = std::lower_bound(
        byName.cbegin(), byName.cend(), name, [this](int index, const QString &wanted) {
            return wanted.compare(nameOf(records[size_t(index)])) > 0;
        });
    if (first == byName.cend() || name != nameOf(records[size_t(*first)]))
        return -1;
    return *first;
}

const JClass &GoldFile::getRecord(int index)
{
    JClass *&record = parsed.at(size_t(index));
    if (!record) {
        const Record &span = records[size_t(index)];
        auto *fresh = google::protobuf::Arena::CreateMessage<JClass>(&arena);
        // The scan judged every record as the parser does, so this holds unless the two differ;
        // then the run must stop rather than take the class for absent.
        if (!fresh->ParseFromArray(bytes.constData() + span.offset, span.size)) {
            const QString message = damagedMessage(path);
            logLine(Logger::L_ERROR, message);
            throw Damaged(message.toLocal8Bit().toStdString());
        }
        record = fresh;
    }
    return *record;
}

QLatin1String GoldFile::nameOf(const Record &record) const
{
    return QLatin1String(bytes.constData() + record.nameOffset, record.nameSize);
}
