// The command line as a user meets it: the real program, its standard streams and exit status.

#include "support/Golden.h"
#include "support/ProcessRunner.h"

#include <QFile>
#include <gtest/gtest.h>

namespace {

struct Refusal
{
    QStringList arguments;
    QByteArray expected;
};

class CommandLine : public testing::Test
{
protected:
    ProcessRunner runner { JCT_APP_BINARY };

    /// Runs every case expecting exit status 1, the given text on one stream and nothing on the
    /// other, and no log: the process ends before the log is opened.
    void expectRefused(const QList<Refusal> &cases, bool onStandardError)
    {
        for (const Refusal &c : cases) {
            SCOPED_TRACE(c.arguments.join(' ').toStdString());
            const ProcessRunner::Result result = runner.run(c.arguments);
            ASSERT_TRUE(result.exitedNormally);
            EXPECT_EQ(result.exitCode, 1);
            EXPECT_EQ(onStandardError ? result.err : result.out, c.expected);
            EXPECT_EQ(onStandardError ? result.out : result.err, QByteArray());
            EXPECT_FALSE(QFile::exists(runner.path("log.txt")));
        }
    }

    /// Runs a console command that must be accepted and returns its log. What the command itself
    /// reports (a missing classpath entry, say) is none of the command line's business.
    QByteArray runAccepted(const QStringList &arguments)
    {
        SCOPED_TRACE(arguments.join(' ').toStdString());
        const ProcessRunner::Result result = runner.run(arguments);
        EXPECT_TRUE(result.exitedNormally);
        EXPECT_EQ(result.exitCode, 0);
        return runner.readFile("log.txt");
    }
};

} // namespace

TEST_F(CommandLine, HelpPrintsTheWholeTextOrOneOptionAndExitsWithOne)
{
    for (const QStringList &arguments : { QStringList { "-h" }, { "--nogui", "--help" } }) {
        const ProcessRunner::Result result = runner.run(arguments);
        EXPECT_EQ(result.exitCode, 1);
        Golden::expectEqual("app/help.txt",
                            QByteArray(result.out).replace(JCT_APP_BINARY, "@APP@"));
    }
    expectRefused({ { { "--help", "--classpath" },
                      "\nUSAGE: --classpath <arg>\n\nDESCRIPTION: Your classpath in command mode. "
                      "(Required for testing in command mode.)\n" },
                    { { "--help=--testt" }, "\nUSAGE: --testtss\n\nDESCRIPTION: Test a TSS.\n" },
                    { { "--help", "bogus" }, "Unknown argument: --bogus\n" },
                    { { "--help", "--" }, "Empty argument name.\n" } },
                  false);
}

TEST_F(CommandLine, ParseAndCommandErrorsGoToStandardErrorInBothModes)
{
    const QByteArray tssGoldRequired
        = "A TSS Java Gold classpath is required for PCS, PSS, and TSS test modes.\n";
    expectRefused(
        { { { "-x" }, "Unknown argument: -x\n" },
          { { "---nogui" }, "Unknown argument: ---nogui\n" },
          // Qt's own options are not the tester's.
          { { "-style", "fusion" }, "Unknown argument: -s\n" },
          { { "--nogui", "--testoss", "--testtss" },
            "Defined more than one argument under XOR mask. First defined argument: testoss. "
            "Second defined argument: testtss.\n" },
          // The end-of-line checks follow registration order: the GUI group, then classpath.
          { { "--testoss", "--testtss", "--gui", "--nogui" },
            "Defined more than one argument under XOR mask. First defined argument: gui. "
            "Second defined argument: nogui.\n" },
          { { "--testoss", "--testtss", "--classpath" },
            "Not defined value of the argument: classpath\n" },
          { { "--testoss=x" },
            "Unexpected option: x. Argument \"--testoss\" doesn't expect any values.\n" },
          { { "stray" }, "Unexpected option: stray. Argument \"\" doesn't expect any values.\n" },
          { { "--nogui" }, "Unknown command.\n" },
          { { "--nogui", "--testoss", "--classpath", "x" }, "Unknown profile.\n" },
          { { "--nogui", "--testios", "--general" },
            "A classpath is required for test command mode.\n" },
          { { "--nogui", "--testpcs", "--general", "--classpath", "a.jar" }, tssGoldRequired },
          { { "--nogui", "--testtssabs", "--safetyBase", "--classpath", "a.jar" },
            tssGoldRequired },
          { { "--nogui", "--listcontents", "--classpath=:" }, "A classpath is required.\n" },
          { { "--port=-1" }, "Invalid port: -1\n" },
          { { "--nogui", "--listcontents", "--classpath", "a", "--port", "65536" },
            "Invalid port: 65536\n" } },
        true);
    runAccepted({ "--nogui", "--listcontents", "--classpath", "a", "--port", "65535" });
}

TEST_F(CommandLine, ValidCommandsRunTheirWorkerAndExitWithZero)
{
    // The profile is kept but not required when building gold files.
    runAccepted({ "--general", "--nogui", "--buildjavagold", "out.javagold", "--classpath", "a" });
    EXPECT_TRUE(runAccepted({ "--nogui", "--testtssabsiface", "--safetyExt", "--classpath", "a" })
                    .contains("INFO: Running TSS Abstraction Interface test\n"));
    // --testt names testtss, the first member of its group that starts so; --testtssa the next one.
    EXPECT_TRUE(runAccepted({ "--nog", "--testt", "--ge", "--c", "a", "--ts", "g" })
                    .contains("INFO: Running TSS test\n"));
    EXPECT_TRUE(runAccepted({ "--nog", "--testtssa", "--ge", "--c", "a", "--ts", "g" })
                    .contains("INFO: Running TSS with Type Abstraction test\n"));
}

TEST_F(CommandLine, ValuesSplitAtTheFirstEqualsSignAndTheLastOccurrenceWins)
{
    EXPECT_TRUE(runAccepted({ "--nogui", "--listcontents", "--classpath=x=y" })
                    .contains("INFO: Classpath: x=y\n"));
    // A value is taken whole, whatever it looks like.
    EXPECT_TRUE(runAccepted({ "--nogui", "--listcontents", "--classpath", "--testoss" })
                    .contains("INFO: Classpath: --testoss\n"));
    EXPECT_TRUE(
        runAccepted({ "--nogui", "--listcontents", "--classpath", "a", "--classpath", "b::c" })
            .contains("INFO: Classpath: b:c\n"));
}

TEST_F(CommandLine, DoubleDashEndsTheParseAndALoneDashIsIgnored)
{
    const QByteArray log = runAccepted(
        { "--nogui", "--testoss", "--general", "--classpath", "a", "--", "--testtss", "junk" });
    EXPECT_TRUE(log.contains("INFO: Running OSS test\n"));
    EXPECT_FALSE(log.contains("TSS"));
    runAccepted({ "--nogui", "-", "--listcontents", "--classpath", "a" });
}
