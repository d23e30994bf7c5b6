#include "base/Logger.h"

#include "base/LogDirectory.h"
#include "base/PrintableText.h"

#include <QDateTime>
#include <QMetaType>
#include <QMutexLocker>
#include <QThread>
#include <QTimer>
#include <cstdio>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

Logger *Logger::logger = nullptr;

namespace {
/// How long the lines of worker threads may wait to be written with those that follow.
constexpr int batchMilliseconds = 50;

// A link of that name in the log directory is replaced, never followed: one planted there would
// otherwise make the run overwrite whatever it points to. Opened without waiting, so that a pipe
// of that name without a reader is an error instead of a hang. -1 when the file cannot be opened.
int openLogFile(const QString &path)
{
    const QByteArray name = QFile::encodeName(path);
    struct stat status;
    if (::lstat(name.constData(), &status) == 0 && S_ISLNK(status.st_mode))
        ::unlink(name.constData());
    const int descriptor = ::open(
        name.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0666);
    if (descriptor >= 0)
        ::fcntl(descriptor, F_SETFL, ::fcntl(descriptor, F_GETFL) & ~O_NONBLOCK);
    return descriptor;
}
} // namespace

void logLine(Logger::Level level, const QString &text)
{
    emit Logger::logger->log(level, text);
}

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
    , filePath(logDir + "/log.txt")
{
    const QString problem = LogDirectory::create(logDir);
    const int descriptor = problem.isEmpty() ? openLogFile(filePath) : -1;
    if (descriptor >= 0
        && file.open(
            descriptor, QIODevice::WriteOnly | QIODevice::Text, QFileDevice::AutoCloseHandle)) {
        fileStream.setDevice(&file);
    } else if (!problem.isEmpty()) {
        // The one message of a run whose directory is missing: nothing else it writes goes there.
        logToConsole(L_ERROR,
                     QString("Could not create the log directory %1: %2. Neither log.txt nor the "
                             "results are written.")
                         .arg(logDir, problem));
    } else {
        logToConsole(L_ERROR, QString("Could not open log file %1").arg(filePath));
    }
    fileWritten = fileStream.device() != nullptr;

    // A queued event, a write and a flush for every line made the log the largest cost of a test
    // run. Lines are instead handed over in the emitting thread and the main thread writes all
    // it has been handed in one go, flushing once per batch; the order stays the emission order.
    connect(this, &Logger::log, this, &Logger::handOver, Qt::DirectConnection);
}

QString Logger::makeMsg(Logger::Level level, const QString &text) const
{
    static const char *const labels[] = { "DEBUG", "INFO", "WARN", "ERROR" };
    const QString label = level >= L_DEBUG && level <= L_ERROR ? labels[level] : "UNKNOWN";
    const qint64 second = QDateTime::currentSecsSinceEpoch();
    if (second != stampSecond) {
        stampSecond = second;
        stampText = QDateTime::fromSecsSinceEpoch(second, Qt::UTC).toString(Qt::ISODate);
    }
    // One message, one line: a name read from a file cannot forge another.
    return QString("%1 %2: %3\n").arg(stampText, label, PrintableText::escape(text));
}

void Logger::logToConsole(Logger::Level level, const QString &text)
{
    QMutexLocker lock(&writeLock);
    writeConsole(level, text);
    flushStreams();
}

void Logger::handOver(Logger::Level level, const QString &text)
{
    {
        QMutexLocker lock(&pendingLock);
        pending.append({ level, text });
    }
    // In the main thread a line is written at once, in the emitting call. Lines of other threads
    // wait a moment for the ones that follow them: waking the main thread for every line cost as
    // much as writing it.
    if (QThread::currentThread() == thread())
        flush();
    else if (!batchScheduled.exchange(true))
        QMetaObject::invokeMethod(this, &Logger::startBatchTimer, Qt::QueuedConnection);
}

void Logger::startBatchTimer()
{
    QTimer::singleShot(batchMilliseconds, this, &Logger::writeBatch);
}

void Logger::writeBatch()
{
    batchScheduled
        = false; // before taking the lines: a line handed over from now on schedules anew
    flush();
}

void Logger::flush()
{
    QMutexLocker writing(&writeLock);
    QVector<Message> batch;
    {
        QMutexLocker lock(&pendingLock);
        batch.swap(pending);
    }
    for (const Message &message : batch) {
        writeConsole(message.level, message.text);
        writeFile(message.level, message.text);
    }
    flushStreams();
}

void Logger::writeConsole(Logger::Level level, const QString &text)
{
    if (level < L_WARN)
        return;
    QTextStream &stream = level == L_WARN ? out : err;
    // Warnings and errors that share a terminal keep their order across the two streams.
    if (lastConsole && lastConsole != &stream)
        lastConsole->flush();
    lastConsole = &stream;
    stream << makeMsg(level, text);
}

void Logger::writeFile(Logger::Level level, const QString &text)
{
    if (fileStream.device())
        fileStream << makeMsg(level, text);
}

void Logger::flushStreams()
{
    out.flush();
    err.flush();
    if (!fileStream.device())
        return;
    fileStream.flush();
    if (fileStream.status() == QTextStream::Ok && file.error() == QFileDevice::NoError)
        return;
    // A full disk or a size limit: the log file is lost from here on, which is said once. A write
    // the kernel cut short gives no reason; the next one does.
    file.flush();
    const QString reason = file.errorString();
    fileStream.setDevice(nullptr);
    fileWritten = false;
    logToConsole(L_ERROR, QString("Could not write log file %1. %2").arg(filePath, reason));
}
