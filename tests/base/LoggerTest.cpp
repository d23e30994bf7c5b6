#include "base/Logger.h"

#include "support/LogCapture.h"
#include "support/QtPrinters.h"

#include <QFile>
#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace {

// What log.txt holds so far, without the time stamps.
QList<QByteArray> logged()
{
    Logger::logger->flush();
    QFile file(QFile::decodeName(qgetenv("JCT_TEST_LOG_DIR")) + "/log.txt");
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QList<QByteArray> lines = file.readAll().split('\n');
    for (QByteArray &line : lines)
        line = line.mid(line.indexOf(' ') + 1);
    return lines;
}

} // namespace

TEST(Logger, ALineOfPiecesReadsAsItsJoinedTextEscapedInTheBytesOfAFileName)
{
    LogCapture capture;
    const QString name = QString("a\nb") + QChar(0xdce9) + QChar(0xe9) + QChar(0xd83d)
        + QChar(0xde00) + QChar(0x202e);
    logLine(Logger::L_INFO, { u"Test ", 50, u"% ", -3, u"/", 0, u" ", name });
    EXPECT_TRUE(logged().contains("INFO: Test 50% -3/0 a\\nb\\xe9\xc3\xa9\xf0\x9f\x98\x80\\u202e"));
    // Those who follow the log see the line as it was made.
    EXPECT_EQ(capture.lines(), QStringList { "INFO: Test 50% -3/0 " + name });
}

TEST(Logger, LinesOfSeveralThreadsAreWrittenWholeEachThreadsInItsOrder)
{
    constexpr int threads = 4;
    constexpr int perThread = 3000;
    std::vector<std::thread> workers;
    for (int t = 0; t < threads; ++t) {
        workers.emplace_back([t] {
            for (int i = 0; i < perThread; ++i)
                logLine(Logger::L_DEBUG, { u"ordered ", t, u" ", i });
        });
    }
    for (std::thread &worker : workers)
        worker.join();
    std::vector<int> next(threads, 0);
    for (const QByteArray &line : logged()) {
        if (!line.startsWith("DEBUG: ordered "))
            continue;
        const QList<QByteArray> words = line.split(' ');
        ASSERT_EQ(words.size(), 4) << line.toStdString();
        const int thread = words.at(2).toInt();
        ASSERT_TRUE(thread >= 0 && thread < threads) << line.toStdString();
        EXPECT_EQ(words.at(3).toInt(), next[thread]++) << line.toStdString();
    }
    EXPECT_EQ(next, std::vector<int>(threads, perThread));
}
