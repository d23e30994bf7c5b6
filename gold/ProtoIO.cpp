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
    emit Logger::logger->log(Logger::L_ERROR, message);
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
        fail(QString("Could not read file %1: a gold file may hold at most %2 bytes").arg(path).arg(maxGoldFileBytes));
    if (file.error() != QFileDevice::NoError)
        fail(QString("Could not deserialize from file %1").arg(path));
    return bytes;
}

bool parseWhole(JClasses &classes, const QByteArray &bytes)
{
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
    if (!parseWhole(*root, bytes)) {
        classes = nullptr;
        fail(QString("Could not deserialize from file %1").arg(path));
    }
    classes = root.release();
}

JClasses *ProtoIO::read(google::protobuf::Arena &arena, const QString &path)
{
    const QByteArray bytes = readGoldFile(path);
    JClasses *root = google::protobuf::Arena::CreateMessage<JClasses>(&arena);
    if (!parseWhole(*root, bytes))
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
