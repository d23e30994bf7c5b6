#include "base/Logger.h"

#include "base/FileNameCodec.h"
#include "base/LogDirectory.h"
#include "base/PrintableText.h"

#include <QDateTime>
#include <QMetaMethod>
#include <QMetaType>
#include <QMutexLocker>
#include <QThread>
#include <QTimer>
#include <charconv>
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

const char *labelOf(Logger::Level level)
{
    static const char *const labels[] = { "DEBUG", "INFO", "WARN", "ERROR" };
    return level >= Logger::L_DEBUG && level <= Logger::L_ERROR ? labels[level] : "UNKNOWN";
}

// One message, one line: a name read from a file cannot forge another. The text goes out in the
// bytes the locale's codec (FileNameCodec) would give it, without a copy of its own.
void appendText(std::string &out, QStringView text)
{
    QString escaped;
    if (!PrintableText::isPlain(text)) {
        escaped = PrintableText::escape(text.toString());
        text = escaped;
    }
    const std::size_t at = out.size();
    out.resize(at + 3 * std::size_t(text.size()));
    char *const end = FileNameCodec::putText(&out[at], text.data(), int(text.size()));
    out.resize(std::size_t(end - out.data()));
}

void appendNumber(std::string &out, int number)
{
    char digits[16];
    const std::to_chars_result written = std::to_chars(digits, digits + sizeof digits, number);
    out.append(digits, written.ptr);
}

QString joined(std::initializer_list<LogText> pieces)
{
    QString text;
    for (const LogText &piece : pieces) {
        if (piece.isNumber)
            text += QString::number(piece.number);
        else
            text.append(piece.text.data(), int(piece.text.size()));
    }
    return text;
}

} // namespace

void logLine(Logger::Level level, const QString &text)
{
    Logger::logger->append(level, { text });
}

void logLine(Logger::Level level, std::initializer_list<LogText> pieces)
{
    Logger::logger->append(level, pieces);
}

void Logger::init(const QString &logDir)
{
    if (logger)
        return;
    qRegisterMetaType<Logger::Level>("Logger::Level");
    logger = new Logger(logDir);
}

Logger::Logger(const QString &logDir)
    : filePath(logDir + "/log.txt")
{
    const QString problem = LogDirectory::create(logDir);
    const int descriptor = problem.isEmpty() ? openLogFile(filePath) : -1;
    // Lines come in batches of their own, each written with one call.
    if (descriptor >= 0
        && file.open(descriptor,
                     QIODevice::WriteOnly | QIODevice::Unbuffered,
                     QFileDevice::AutoCloseHandle)) {
        fileWritten = true;
    } else if (!problem.isEmpty()) {
        // The one message of a run whose directory is missing: nothing else it writes goes there.
        logToConsole(L_ERROR,
                     QString("Could not create the log directory %1: %2. Neither log.txt nor the "
                             "results are written.")
                         .arg(logDir, problem));
    } else {
        logToConsole(L_ERROR, QString("Could not open log file %1").arg(filePath));
    }
}

void Logger::format(std::string &line, Logger::Level level, std::initializer_list<LogText> pieces)
{
    const qint64 second = QDateTime::currentSecsSinceEpoch();
    if (second != stampSecond) {
        stampSecond = second;
        stampText
            = QDateTime::fromSecsSinceEpoch(second, Qt::UTC).toString(Qt::ISODate).toStdString();
    }
    line += stampText;
    line += ' ';
    line += labelOf(level);
    line += ": ";
    for (const LogText &piece : pieces) {
        if (piece.isNumber)
            appendNumber(line, piece.number);
        else
            appendText(line, piece.text);
    }
    line += '\n';
}

void Logger::logToConsole(Logger::Level level, const QString &text)
{
    QMutexLocker writing(&writeLock);
    ConsoleLine line { level, {} };
    {
        QMutexLocker lock(&pendingLock);
        format(line.text, level, { text });
    }
    writeConsole(line);
    flushConsole();
}

void Logger::append(Logger::Level level, std::initializer_list<LogText> pieces)
{
    static const QMetaMethod logSignal = QMetaMethod::fromSignal(&Logger::log);
    if (isSignalConnected(logSignal))
        emit log(level, joined(pieces));
    // A queued event, a write and a flush for every line made the log the largest cost of a test
    // run, and then a string or two of its own for every line. Lines are instead formatted into
    // one buffer in the emitting thread, and the main thread writes all it has been handed in one
    // go; the order stays the emission order.
    {
        QMutexLocker lock(&pendingLock);
        if (level >= L_WARN) {
            pendingConsole.push_back({ level, {} });
            format(pendingConsole.back().text, level, pieces);
            if (fileWritten)
                pendingFile += pendingConsole.back().text;
        } else if (fileWritten) {
            format(pendingFile, level, pieces);
        }
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
    {
        QMutexLocker lock(&pendingLock);
        writingFile.swap(pendingFile);
        writingConsole.swap(pendingConsole);
    }
    for (const ConsoleLine &line : writingConsole)
        writeConsole(line);
    flushConsole();
    writeFile(writingFile);
    writingFile.clear();
    writingConsole.clear();
}

void Logger::writeConsole(const ConsoleLine &line)
{
    std::FILE *const stream = line.level == L_WARN ? stdout : stderr;
    // Warnings and errors that share a terminal keep their order across the two streams.
    if (lastConsole && lastConsole != stream)
        std::fflush(lastConsole);
    lastConsole = stream;
    std::fwrite(line.text.data(), 1, line.text.size(), stream);
}

void Logger::flushConsole()
{
    std::fflush(stdout);
    std::fflush(stderr);
}

void Logger::writeFile(const std::string &lines)
{
    const char *next = lines.data();
    qint64 left = qint64(lines.size());
    while (left > 0 && fileWritten) {
        // A write the kernel cut short gives no reason; the next one does.
        const qint64 written = file.write(next, left);
        if (written > 0) {
            next += written;
            left -= written;
            continue;
        }
        // A full disk or a size limit: the log file is lost from here on, which is said once.
        fileWritten = false;
        logToConsole(L_ERROR,
                     QString("Could not write log file %1. %2").arg(filePath, file.errorString()));
    }
}
