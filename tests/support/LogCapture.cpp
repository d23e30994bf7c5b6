#include "support/LogCapture.h"

#include <QMutex>
#include <QMutexLocker>

namespace {
QMutex captureMutex; // workers log from their own threads
QString label(Logger::Level level)
{
    switch (level) {
    case Logger::L_DEBUG:
        return "DEBUG";
    case Logger::L_INFO:
        return "INFO";
    case Logger::L_WARN:
        return "WARN";
    case Logger::L_ERROR:
        return "ERROR";
    }
    return "UNKNOWN";
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
