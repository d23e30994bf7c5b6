#include "gold/ProtoIO.h"

#include "app/AtomicFile.h"
#include "app/Logger.h"
#include "loader/Class.h"

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

namespace {

std::string local8Bit(const QString &text)
{
    return text.toLocal8Bit().toStdString();
}

// Only public and protected members belong to an API; package and private ones are internals.
bool isApiPermission(const Permission &permission)
{
    return permission == Permission::PUBLIC || permission == Permission::PROTECTED;
}

void addField(JClass *record, const Field &field)
{
    JField *out = record->add_fields();
    out->set_name(local8Bit(field.getName()));
    out->set_descriptor_(local8Bit(field.getType().descriptor));
    out->set_permission(static_cast<JPermission>(field.getPermission().value));
    out->set_final(field.isFinal());
    out->set_static_(field.isStatic());
}

void addMethod(JClass *record, const Method &method)
{
    JMethod *out = record->add_methods();
    out->set_name(local8Bit(method.getName()));
    out->set_descriptor_(local8Bit(method.getSignature().descriptor));
    out->set_permission(static_cast<JPermission>(method.getPermission().value));
    out->set_final(method.isFinal());
    out->set_static_(method.isStatic());
    for (const TypeDescriptor &exception : method.getExceptions())
        out->add_exceptions(local8Bit(exception.descriptor));
}

} // namespace

void ProtoIO::setJClass(JClass *record, const Class &cls, setmode_t mode)
{
    const bool apiOnly = mode == SET_API;
    record->set_name(local8Bit(cls.getName().descriptor));
    record->set_abstract(cls.isAbstract());
    record->set_interface(cls.isInterface());
    record->set_major_version(cls.getMajorVersion());
    // Written also for java.lang.Object: a present, empty parent is how a record says "no
    // superclass".
    record->set_parent(local8Bit(cls.getParent().descriptor));
    for (const TypeDescriptor &iface : cls.getInterfaces())
        record->add_interfaces(local8Bit(iface.descriptor));
    record->set_permission(cls.getPermission() == Permission::PUBLIC ? JP_PUBLIC : JP_PACKAGE);
    record->set_final(cls.isFinal());
    for (const Field *field : cls.getFields()) {
        if (apiOnly
            && (!isApiPermission(field->getPermission())
                || isFieldForAnonymousClass(field->getName())))
            continue;
        addField(record, *field);
    }
    for (const Method *method : cls.getMethods()) {
        if (apiOnly
            && (!isApiPermission(method->getPermission())
                || isMethodForAnonymousClass(method->getName())))
            continue;
        addMethod(record, *method);
    }
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
