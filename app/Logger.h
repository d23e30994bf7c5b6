#pragma once

#include <QFile>
#include <QObject>
#include <QString>
#include <QTextStream>

/// The program's one log: every message goes to log.txt, warnings and errors also to the console.
/// Messages may be emitted from any thread; the writing slots always run in the main thread.
class Logger : public QObject
{
    Q_OBJECT
public:
    enum Level { L_DEBUG = 0, L_INFO = 1, L_WARN = 2, L_ERROR = 3 };
    Q_ENUM(Level)

    /// Creates the logger once, writing to logDir + "/log.txt"; later calls do nothing.
    static void init(const QString &logDir);
    /// Owned by nobody: lives until the process ends.
    static Logger *logger;

    QString makeMsg(Logger::Level level, const QString &text) const;

signals:
    void log(Logger::Level level, const QString &text);

public slots:
    void logToConsole(Logger::Level level, const QString &text);
    void logToFile(Logger::Level level, const QString &text);

private:
    explicit Logger(const QString &logDir);

    QTextStream out;
    QTextStream err;
    QFile file;
    QTextStream fileStream;
};

Q_DECLARE_METATYPE(Logger::Level)
