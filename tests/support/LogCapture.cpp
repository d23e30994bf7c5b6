#include "support/LogCapture.h"

#include <QMetaEnum>
#include <QMutex>
#include <QMutexLocker>

namespace {
QMutex captureMutex; // workers log from their own threads
// "WARN" of L_WARN: the level as the log file prints it.
QString label(Logger::Level level)
{
    return QString(QMetaEnum::fromType<Logger::Level>().valueToKey(level)).mid(2);
}
} // namespace

LogCapture::LogCapture()
{
    connection = QObject::connect(
        Logger::logger,
        &Logger::log,
        Logger::logger,
        [this](Logger::Level level, const QString &text) {
            QMutexLocker lock(&captureMutex);
            messages.append({ level, text });
        },
        Qt::DirectConnection);
}

LogCapture::~LogCapture()
{
    QObject::disconnect(connection);
}

QStringList LogCapture::lines() const
{
    QMutexLocker lock(&captureMutex);
    QStringList result;
    for (const auto &message : messages)
        result << label(message.first) + ": " + message.second;
    return result;
}

QStringList LogCapture::texts(Logger::Level level) const
{
    QMutexLocker lock(&captureMutex);
    QStringList result;
    for (const auto &message : messages) {
        if (message.first == level)
            result << message.second;
    }
    return result;
}

bool LogCapture::contains(Logger::Level level, const QString &text) const
{
    return texts(level).contains(text);
}

void LogCapture::clear()
{
    QMutexLocker lock(&captureMutex);
    messages.clear();
}
