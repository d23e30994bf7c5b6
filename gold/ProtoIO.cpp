#include "gold/ProtoIO.h"

#include "app/Logger.h"

#include <QFileInfo>

#include <google/protobuf/io/coded_stream.h>
#include <google/protobuf/io/zero_copy_stream_impl.h>

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

bool parseWhole(JClasses &classes, std::istream &stream)
{
    google::protobuf::io::IstreamInputStream input(&stream);
    google::protobuf::io::CodedInputStream coded(&input);
    coded.SetTotalBytesLimit(maxGoldFileBytes);
    return classes.ParseFromCodedStream(&coded) && coded.ConsumedEntireMessage() && !stream.bad();
}

} // namespace

void ProtoIO::write(const JClasses *classes, const QString &path)
{
    std::ofstream stream(path.toLocal8Bit().toStdString(), std::ios::out | std::ios::binary | std::ios::trunc);
    if (!stream.is_open())
        fail(QString("Could not open file %1 for writing").arg(path));
    // SerializePartial: the schema has no required fields, so there is nothing to check.
    if (!classes->SerializePartialToOstream(&stream) || !stream.flush())
        fail(QString("Could not serialize to file %1").arg(path));
    stream.close();
}

void ProtoIO::read(JClasses *&classes, const QString &path)
{
    std::ifstream stream(path.toLocal8Bit().toStdString(), std::ios::in | std::ios::binary);
    // A directory opens as a stream on Linux and then reads as nothing, which would pass for an
    // empty gold file.
    if (!stream.is_open() || QFileInfo(path).isDir())
        fail(QString("Could not open file %1 for reading").arg(path));
    auto root = std::make_unique<JClasses>();
    if (!parseWhole(*root, stream)) {
        classes = nullptr;
        fail(QString("Could not deserialize from file %1").arg(path));
    }
    classes = root.release();
}
