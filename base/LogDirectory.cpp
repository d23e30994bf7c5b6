#include "base/LogDirectory.h"

#include <QFile>
#include <QFileInfo>

#include <filesystem>
#include <system_error>

namespace {

// Written by the main thread before any worker starts, only read afterwards.
QString failedDirectory;
QString failure;

QString absolute(const QString &directory)
{
    return QFileInfo(directory + "/").absolutePath();
}

} // namespace

QString LogDirectory::create(const QString &directory)
{
    std::error_code error;
    std::filesystem::create_directories(QFile::encodeName(directory).toStdString(), error);
    if (!error)
        return QString();
    failedDirectory = absolute(directory);
    failure = QString::fromLocal8Bit(error.message().c_str());
    return failure;
}

QString LogDirectory::problemOf(const QString &directory)
{
    return !failure.isEmpty() && absolute(directory) == failedDirectory ? failure : QString();
}
