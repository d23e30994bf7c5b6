#include "goldformat/ProtoIO.h"

#include "base/AtomicFile.h"
#include "base/Logger.h"
#include "goldformat/GoldFile.h"

#include <QRegExp>

#include <memory>
#include <stdexcept>

namespace {

[[noreturn]] void fail(const QString &message)
{
    logLine(Logger::L_ERROR, message);
    throw std::runtime_error(message.toLocal8Bit().toStdString());
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

ProtoIO::Read ProtoIO::read(const QString &path)
{
    const GoldFile::Opened opened = GoldFile::open(path);
    if (!opened.file)
        return { nullptr, opened.problem };
    auto root = std::make_unique<JClasses>();
    const QByteArray &bytes = opened.file->getBytes();
    if (!root->ParseFromArray(bytes.constData(), bytes.size()))
        return { nullptr, QString("Could not deserialize from file %1").arg(path) };
    return { std::move(root), QString() };
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
