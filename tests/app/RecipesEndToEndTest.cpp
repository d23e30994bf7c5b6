// The seven segment tests as a user runs them: the real program on the sample components and
// the shipped gold files (scripts/build-data), judged by the results.txt it leaves behind. Each
// sample's results.txt is kept whole under tests/data/app/samples/; what each violation is and
// why is told in the sample's EXPECTED.md.

#include "support/BuiltData.h"
#include "support/Golden.h"
#include "support/ProcessRunner.h"

#include <QFile>
#include <QRegularExpression>
#include <gtest/gtest.h>

namespace {

QString sample(const QString &name)
{
    return BuiltData::dir() + "/samples/" + name + ".jar";
}

/// The non-PASS results of a results.txt, each on one line after the class group it is in, with
/// its description and log lines: what a run objects to, for a tree too large to keep whole.
QByteArray objections(const QByteArray &results)
{
    static const QRegularExpression result("^( *)(.*): (PASS|FAIL|UNKNOWN)$");
    QByteArray found;
    QString group;
    int objectionIndent = -1;
    for (const QString &line : QString::fromLocal8Bit(results).split('\n')) {
        const int indent = int(line.indexOf(QRegularExpression("\\S")));
        if (objectionIndent >= 0 && indent > objectionIndent) {
            found += " / " + line.trimmed().toLocal8Bit();
            continue;
        }
        if (objectionIndent >= 0)
            found += '\n';
        objectionIndent = -1;
        const QRegularExpressionMatch match = result.match(line);
        if (!match.hasMatch()) {
            if (indent == 4)
                group = line.trimmed();
        } else if (match.captured(3) != "PASS") {
            objectionIndent = indent;
            found += (group + " " + line.trimmed()).toLocal8Bit();
        }
    }
    return found;
}

class Recipe : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(QFile::link(BuiltData::path("data"), runner.path("data")));
    }

    /// results.txt of a run in a fresh working directory whose data/ is the shipped gold data.
    QByteArray run(const QStringList &arguments)
    {
        const ProcessRunner::Result result = runner.run(QStringList { "--nogui" } + arguments);
        EXPECT_TRUE(result.exitedNormally);
        EXPECT_EQ(result.exitCode, 0);
        return runner.readFile("results.txt");
    }

    QString log() const { return QString::fromLocal8Bit(runner.readFile("log.txt")); }

    ProcessRunner runner { JCT_APP_BINARY };
};

struct SampleRun
{
    const char *option;
    const char *sample;
    bool tssGold;
    const char *workerLine;
};

} // namespace

TEST_F(Recipe, EverySampleGivesItsKnownResults)
{
    const QString tssGold = BuiltData::path("samples/tss-interface.javagold");
    const SampleRun runs[] = {
        { "--testios", "ios", false, "Running IOS test" },
        { "--testtss", "tss", true, "Running TSS test" },
        { "--testtssabs", "tssabs", true, "Running TSS with Type Abstraction test" },
        { "--testtssabsiface", "tssabsiface", false, "Running TSS Abstraction Interface test" },
        { "--testpss", "pss", true, "Running PSS test" },
        { "--testpcs", "pcs", true, "Running PCS test" },
    };
    for (const SampleRun &r : runs) {
        for (const QString verdict : { "-good", "-bad" }) {
            const QString name = r.sample + verdict;
            SCOPED_TRACE(name.toStdString());
            QStringList arguments { r.option, "--general", "--classpath", sample(name) };
            if (r.tssGold)
                arguments << "--tssgold" << tssGold;
            Golden::expectEqual("app/samples/" + name + ".txt", run(arguments));
            EXPECT_TRUE(log().contains(QString("INFO: ") + r.workerLine + "\n"));
        }
    }
}

TEST_F(Recipe, OssSamplesGiveTheirKnownObjections)
{
    QFile j2ee8Jars(BuiltData::path("samples/j2ee8.classpath"));
    ASSERT_TRUE(j2ee8Jars.open(QIODevice::ReadOnly));
    const QString conforming = BuiltData::path("refdata/j2se8") + ":"
        + QString::fromLocal8Bit(j2ee8Jars.readAll()).trimmed();
    const QByteArray results = run({ "--testoss", "--general", "--classpath", conforming });
    EXPECT_TRUE(results.contains("\n    java.lang.Object:\n"));
    EXPECT_TRUE(results.contains("\n    javax.servlet.Servlet:\n"));
    EXPECT_EQ(objections(results), QByteArray());
    EXPECT_TRUE(log().contains("INFO: Running OSS test\n"));

    // Under Safety Base J2EE 8 is not required.
    const QByteArray bad = run({ "--testoss", "--safetyBase", "--classpath", sample("oss-bad") });
    EXPECT_FALSE(bad.contains("javax.servlet.Servlet"));
    Golden::expectEqual("app/samples/oss-bad.objections.txt", objections(bad));
}
