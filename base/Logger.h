#pragma once

#include <QFile>
#include <QMutex>
#include <QObject>
#include <QRecursiveMutex>
#include <QString>
#include <QStringView>

#include <atomic>
#include <cstdio>
#include <initializer_list>
#include <string>
#include <vector>

/// One piece of a log line: a text, or a whole number written in decimal. It only refers to its
/// text, which must outlive the call it is handed to.
class LogText
{
public:
    LogText(const QString &text)
        : text(text)
    {
    }
    LogText(QStringView text)
        : text(text)
    {
    }
    template<std::size_t N>
    LogText(const char16_t (&literal)[N])
        : text(literal, qsizetype(N - 1))
    {
    }
    LogText(int number)
        : number(number)
        , isNumber(true)
    {
    }

    QStringView text;
    int number = 0;
    bool isNumber = false;
};

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

    /// Logs one line made of pieces, from any thread: what logLine does.
    void append(Logger::Level level, std::initializer_list<LogText> pieces);

    /// Whether log.txt holds every line so far: false when it could not be opened or a write
    /// failed. From any thread.
    bool isFileWritten() const { return fileWritten; }

    /// Writes every line handed over so far, from any thread: a worker that reports whether
    /// log.txt was written must first have its own lines in it. Called once more before the
    /// process ends, after the last worker has been joined.
    void flush();

signals:
    /// Every line logged, for those who follow the log as it is written (the progress dialog),
    /// in the thread that logs it.
    void log(Logger::Level level, const QString &text);

private:
    /// A warning or an error as the console shows it.
    struct ConsoleLine
    {
        Level level;
        std::string text;
    };

    explicit Logger(const QString &logDir);
    void logToConsole(Logger::Level level, const QString &text);
    void startBatchTimer();
    void writeBatch();
    void format(std::string &line, Logger::Level level, std::initializer_list<LogText> pieces);
    void writeConsole(const ConsoleLine &line);
    void writeFile(const std::string &lines);
    void flushConsole();

    QString filePath; // logDir + "/log.txt"
    QFile file;
    std::FILE *lastConsole = nullptr; // the console stream written last, not yet flushed
    std::atomic<bool> fileWritten { false };
    /// Held while the file and the console are written; recursive, as a failed write logs to
    /// the console.
    QRecursiveMutex writeLock;

    /// Lines formatted but not yet written, in emission order; filled on any thread.
    QMutex pendingLock;
    std::string pendingFile; // log.txt's next lines
    std::vector<ConsoleLine> pendingConsole;
    /// The batch being written, under writeLock: it keeps its capacity from batch to batch, so
    /// that lines are formatted without an allocation of their own.
    std::string writingFile;
    std::vector<ConsoleLine> writingConsole;
    /// Set from the first line handed over by another thread until the main thread writes them.
    std::atomic<bool> batchScheduled { false };

    /// The last second stamped and its text, under pendingLock: a batch of lines mostly shares
    /// one.
    qint64 stampSecond = -1;
    std::string stampText;
};

/// The one way to log: hands one line to the logger from any thread.
void logLine(Logger::Level level, const QString &text);
/// The same for a line of several pieces, which are written one after the other without being
/// joined first.
void logLine(Logger::Level level, std::initializer_list<LogText> pieces);

Q_DECLARE_METATYPE(Logger::Level)
