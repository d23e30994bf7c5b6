#pragma once

#include "base/Logger.h"

#include <QList>
#include <QMetaObject>
#include <QPair>
#include <QStringList>

/// Records every log message emitted while it lives, on any thread, in emission order per thread.
class LogCapture
{
public:
    LogCapture();
    ~LogCapture();
    LogCapture(const LogCapture &) = delete;
    LogCapture &operator=(const LogCapture &) = delete;

    /// "LEVEL: text" lines, LEVEL as the log file prints it.
    QStringList lines() const;
    /// The texts logged at one level.
    QStringList texts(Logger::Level level) const;
    bool contains(Logger::Level level, const QString &text) const;
    void clear();

private:
    QMetaObject::Connection connection;
    QList<QPair<Logger::Level, QString>> messages;
};
