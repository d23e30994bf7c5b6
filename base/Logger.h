#pragma once

#include <QFile>
#include <QMutex>
#include <QObject>
#include <QRecursiveMutex>
#include <QString>
#include <QTextStream>
#include <QVector>

#include <atomic>

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

    /// Whether log.txt holds every line so far: false when it could not be opened or a write
    /// failed. From any thread.
    bool isFileWritten() const { return fileWritten; }

    /// Writes every line handed over so far, from any thread: a worker that reports whether
    /// log.txt was written must first have its own lines in it. Called once more before the
    /// process ends, after the last worker has been joined.
    void flush();

signals:
    void log(Logger::Level level, const QString &text);

public slots:
    void logToConsole(Logger::Level level, const QString &text);

private:
    struct Message
    {
        Level level;
        QString text;
    };

    explicit Logger(const QString &logDir);
    void handOver(Logger::Level level, const QString &text);
    void startBatchTimer();
    void writeBatch();
    void writeConsole(Logger::Level level, const QString &text);
    void writeFile(Logger::Level level, const QString &text);
    void flushStreams();

    QTextStream out;
    QTextStream err;
    QString filePath; // logDir + "/log.txt"
    QFile file;
    QTextStream fileStream;
    QTextStream *lastConsole = nullptr; // the console stream written last, not yet flushed
    std::atomic<bool> fileWritten { false };
    /// Held while the streams are written; recursive, as a failed write logs to the console.
    QRecursiveMutex writeLock;

    /// Lines emitted but not yet written, in emission order; filled on any thread.
    QMutex pendingLock;
    QVector<Message> pending;
    /// Set from the first line handed over by another thread until the main thread writes them.
    std::atomic<bool> batchScheduled { false };

    /// The last second stamped and its text: a batch of lines mostly shares one.
    mutable qint64 stampSecond = -1;
    mutable QString stampText;
};

/// The one way to log: hands one line to the logger from any thread.
void logLine(Logger::Level level, const QString &text);

Q_DECLARE_METATYPE(Logger::Level)
