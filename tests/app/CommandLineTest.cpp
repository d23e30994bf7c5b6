// The command line as a user meets it: the real program, its standard streams and exit status.

#include "support/Golden.h"
#include "support/ProcessRunner.h"
#include "support/Words.h"

#include <QFile>
#include <gtest/gtest.h>

namespace {

class CommandLine : public testing::Test
{
protected:
    ProcessRunner runner { JCT_APP_BINARY };

    /// Runs each refused command line, expecting exit status 1, text on one stream only and no
    /// log: the process ends before the log is opened. Gives each command with what it printed.
    QByteArray refusals(const QStringList &commands, bool onStandardError)
    {
        QByteArray transcript;
        for (const QString &command : commands) {
            SCOPED_TRACE(command.toStdString());
            const ProcessRunner::Result result = runner.run(words(command));
            EXPECT_EQ(result.exitCode, 1);
            EXPECT_EQ(onStandardError ? result.out : result.err, QByteArray());
            EXPECT_FALSE(QFile::exists(runner.path("log.txt")));
            transcript
                += command.toLocal8Bit() + '\n' + (onStandardError ? result.err : result.out);
        }
        return transcript;
    }

    /// Runs a console command that must be accepted and returns its log. What the command itself
    /// reports (a missing classpath entry, say) is none of the command line's business.
    QByteArray accepted(const QString &command)
    {
        SCOPED_TRACE(command.toStdString());
        const ProcessRunner::Result result = runner.run(words(command));
        EXPECT_TRUE(result.exitedNormally);
        EXPECT_EQ(result.exitCode, 0);
        return runner.readFile("log.txt");
    }
};

} // namespace

TEST_F(CommandLine, HelpPrintsTheWholeTextOrOneOptionAndExitsWithOne)
{
    for (const char *command : { "-h", "--nogui --help" }) {
        const ProcessRunner::Result result = runner.run(words(command));
        EXPECT_EQ(result.exitCode, 1);
        Golden::expectEqual("app/help.txt",
                            QByteArray(result.out).replace(JCT_APP_BINARY, "@APP@"));
    }
    Golden::expectEqual(
        "app/help-one-option.txt",
        refusals({ "--help --classpath", "--help=--testt", "--help bogus", "--help --" }, false));
}

// The checks at the end of the line follow registration order: the GUI group, then classpath.
TEST_F(CommandLine, ParseAndCommandErrorsGoToStandardErrorInBothModes)
{
    Golden::expectEqual("app/refusals.txt",
                        refusals({ "-x",
                                   "---nogui",
                                   "-style fusion", // Qt's own options are not the tester's.
                                   "--nogui --testoss --testtss",
                                   "--testoss --testtss --gui --nogui",
                                   "--testoss --testtss --classpath",
                                   "--testoss=x",
                                   "stray",
                                   "--nogui",
                                   "--nogui --testoss --classpath x",
                                   "--nogui --testios --general",
                                   "--nogui --testpcs --general --classpath a.jar",
                                   "--nogui --testtssabs --safetyBase --classpath a.jar",
                                   "--nogui --listcontents --classpath=:",
                                   "--port=-1",
                                   "--nogui --listcontents --classpath a --port 65536" },
                                 true));
    accepted("--nogui --listcontents --classpath a --port 65535");
}

TEST_F(CommandLine, ValidCommandsRunTheirWorkerAndExitWithZero)
{
    // The profile is kept but not required when building gold files.
    accepted("--general --nogui --buildjavagold out.javagold --classpath a");
    EXPECT_TRUE(accepted("--nogui --testtssabsiface --safetyExt --classpath a")
                    .contains("INFO: Running TSS Abstraction Interface test\n"));
    // --testt names testtss, the first member of its group that starts so; --testtssa the next one.
    EXPECT_TRUE(accepted("--nog --testt --ge --c a --ts g").contains("INFO: Running TSS test\n"));
    EXPECT_TRUE(accepted("--nog --testtssa --ge --c a --ts g")
                    .contains("INFO: Running TSS with Type Abstraction test\n"));
    // "--" ends the parse, and a lone "-" is ignored.
    const QByteArray log
        = accepted("--nogui - --testoss --general --classpath a -- --testtss junk");
    EXPECT_TRUE(log.contains("INFO: Running OSS test\n"));
    EXPECT_FALSE(log.contains("TSS"));
}

TEST_F(CommandLine, ValuesSplitAtTheFirstEqualsSignAndTheLastOccurrenceWins)
{
    EXPECT_TRUE(accepted("--nogui --listcontents --classpath=x=y").contains("Classpath: x=y\n"));
    // A value is taken whole, whatever it looks like.
    EXPECT_TRUE(accepted("--nogui --listcontents --classpath --testoss")
                    .contains("INFO: Classpath: --testoss\n"));
    EXPECT_TRUE(accepted("--nogui --listcontents --classpath a --classpath b::c")
                    .contains("INFO: Classpath: b:c\n"));
}
