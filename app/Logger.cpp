#include "app/Logger.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QMetaType>
#include <cstdio>

Logger *Logger::logger = nullptr;

void Logger::init(const QString &logDir)
{
    if (logger)
        return;
    qRegisterMetaType<Logger::Level>("Logger::Level");
    logger = new Logger(logDir);
}

Logger::Logger(const QString &logDir)
    : out(stdout, QIODevice::WriteOnly)
    , err(stderr, QIODevice::WriteOnly)
    , file(logDir + "/log.txt")
{
    // One level only: a log directory whose parent is missing is a user error, reported below.
    QDir().mkdir(QFileInfo(file).absolutePath());
    if (file.open(QIODevice::WriteOnly | QIODevice::Text | QIODevice::Truncate))
        fileStream.setDevice(&file);
    else
        logToConsole(L_ERROR, QString("Could not open log file %1").arg(file.fileName()));

    // The level type is registered under this name so that the signature connects across threads.
    connect(this, SIGNAL(log(Logger::Level,QString)), this, SLOT(logToConsole(Logger::Level,QString)));
    connect(this, SIGNAL(log(Logger::Level,QString)), this, SLOT(logToFile(Logger::Level,QString)));
}

QString Logger::makeMsg(Logger::Level level, const QString &text) const
{
    static const char *const labels[] = {"DEBUG", "INFO", "WARN", "ERROR"};
    const QString label = level >= L_DEBUG && level <= L_ERROR ? labels[level] : "UNKNOWN";
    const QString stamp = QDateTime::currentDateTimeUtc().toString(Qt::ISODate);
    return QString("%1 %2: %3\n").arg(stamp, label, text);
}

void Logger::logToConsole(Logger::Level level, const QString &text)
{
    if (level < L_WARN)
        return;
    QTextStream &stream = level == L_WARN ? out : err;
    stream << makeMsg(level, text);
    stream.flush();
}

void Logger::logToFile(Logger::Level level, const QString &text)
{
    if (!fileStream.device())
        return;
    fileStream << makeMsg(level, text);
    fileStream.flush();
}
