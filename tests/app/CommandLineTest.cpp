// The command line as a user meets it: the real program, its standard streams and exit status.

#include "support/ProcessRunner.h"

#include <QDir>
#include <gtest/gtest.h>

namespace {

struct Case
{
    QStringList arguments;
    QByteArray expected;
};

// One help line per row, as the user sees them.
// clang-format off
const QByteArray fullHelp =
    "DRAV Java Conformance Tester\n"
    "\n"
    "USAGE: " JCT_APP_BINARY " [--gu[i] | --n[ogui]] [--c[lasspath] <arg>] [--f[rameworkclasspath] <arg>] "
    "[--ts[sgold] <arg>] [--lo[gdir] <arg>] [--testpc[s] | --testps[s] | --testo[ss] | --testtss | --testtssabs | "
    "--testtssabsi[face] | --testi[os] | --b[uildjavagold] <arg> | --li[stcontents]] [--ge[neral] | --safetyE[xt] | "
    "--safetyB[ase]] [--ho[st] <arg>] [--p[ort] <arg>] [-h,--he[lp]] \n"
    "\n"
    "      --gu[i]                        Show the GUI. [Default] (No other options will be used.)\n"
    "      --n[ogui]                      Do not show the GUI, and execute in command mode.\n"
    "      --c[lasspath] <arg>            Your classpath in command mode. (Required for testing in command mode.)\n"
    "      --f[rameworkclasspath] <arg>   Framework classpath in command mode. (For testing in command mode.)\n"
    "      --ts[sgold] <arg>              TSS Java Gold classpath.\n"
    "      --lo[gdir] <arg>               Your log directory in command mode. (Defaults to current directory.)\n"
    "      --testpc[s]                    Test a PCS.\n"
    "      --testps[s]                    Test a PSS.\n"
    "      --testo[ss]                    Test a OSS.\n"
    "      --testtss                      Test a TSS.\n"
    "      --testtssabs                   Test a TSS with Abstraction Layer.\n"
    "      --testtssabsi[face]            Test a TSS Abstraction Interface.\n"
    "      --testi[os]                    Test a IOS.\n"
    "      --b[uildjavagold] <arg>        Build a Java Gold file.\n"
    "      --li[stcontents]               List contents of a classpath.\n"
    "      --ge[neral]                    Use General Profile.\n"
    "      --safetyE[xt]                  Use Safety Extended Profile.\n"
    "      --safetyB[ase]                 Use Safety Base Profile.\n"
    "      --ho[st] <arg>                 Hostname to report results.\n"
    "      --p[ort] <arg>                 TCP port to report results.\n"
    "  -h, --he[lp]                       Print this help.\n";
// clang-format on

class CommandLine : public testing::Test
{
protected:
    ProcessRunner runner { JCT_APP_BINARY };

    /// Runs every case expecting exit status 1, the given text on one stream and nothing on the
    /// other, and no log: the process ends before the log is opened.
    void expectRefused(const QList<Case> &cases, bool onStandardError)
    {
        for (const Case &c : cases) {
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

TEST_F(CommandLine, HelpPrintsTheWholeTextAndExitsWithOne)
{
    expectRefused({ { { "--help" }, fullHelp },
                    { { "-h" }, fullHelp },
                    { { "--he" }, fullHelp },
                    { { "--nogui", "--help" }, fullHelp } },
                  false);
}

TEST_F(CommandLine, HelpFollowedByATokenDescribesThatOneOption)
{
    expectRefused({ { { "--help", "--classpath" },
                      "\nUSAGE: --classpath <arg>\n\nDESCRIPTION: Your classpath in command mode. "
                      "(Required for testing in command mode.)\n" },
                    { { "--help", "nog" },
                      "\nUSAGE: --nogui\n\nDESCRIPTION: Do not show the GUI, and execute in "
                      "command mode.\n" },
                    { { "-h", "-h" }, "\nUSAGE: -h, --help\n\nDESCRIPTION: Print this help.\n" },
                    { { "--help=--testt" }, "\nUSAGE: --testtss\n\nDESCRIPTION: Test a TSS.\n" },
                    { { "--help", "--g" }, "Unknown argument: --g\n" },
                    { { "--help", "bogus" }, "Unknown argument: --bogus\n" },
                    { { "--help", "-x" }, "Unknown argument: -x\n" },
                    { { "--help", "-hx" }, "Unknown argument: -hx\n" },
                    { { "--help", "--" }, "Empty argument name.\n" },
                    { { "--help", "-" }, "Empty flag.\n" } },
                  false);
}

TEST_F(CommandLine, ParseErrorsGoToStandardErrorInBothModes)
{
    const QByteArray xor_
        = "Defined more than one argument under XOR mask. First defined argument: testoss. "
          "Second defined argument: testtss.\n";
    expectRefused(
        { { { "-x" }, "Unknown argument: -x\n" },
          { { "--g" }, "Unknown argument: --g\n" },
          { { "--bogus" }, "Unknown argument: --bogus\n" },
          { { "---nogui" }, "Unknown argument: ---nogui\n" },
          { { "--testtss", "--testoss" }, xor_ },
          { { "--nogui", "--testoss", "--testtss" }, xor_ },
          { { "--classpath" }, "Not defined value of the argument: classpath\n" },
          { { "--nogui", "--testoss", "extra" },
            "Unexpected option: extra. Argument \"--testoss\" doesn't expect any values.\n" },
          { { "--testoss=x" },
            "Unexpected option: x. Argument \"--testoss\" doesn't expect any values.\n" },
          { { "stray" }, "Unexpected option: stray. Argument \"\" doesn't expect any values.\n" } },
        true);
}

TEST_F(CommandLine, EndOfLineChecksFollowRegistrationOrder)
{
    // The "GUI Mode" group is registered before classpath, classpath before the "Command Mode"
    // group.
    expectRefused({ { { "--testoss", "--testtss", "--gui", "--nogui" },
                      "Defined more than one argument under XOR mask. First defined argument: gui. "
                      "Second defined argument: nogui.\n" },
                    { { "--testoss", "--testtss", "--classpath" },
                      "Not defined value of the argument: classpath\n" } },
                  true);
}

TEST_F(CommandLine, QtOwnOptionsAreUnknownArguments)
{
    expectRefused({ { { "-style", "fusion" }, "Unknown argument: -s\n" },
                    { { "--platform", "offscreen" }, "Unknown argument: --platform\n" },
                    { { "-platform", "offscreen" }, "Unknown argument: -p\n" } },
                  true);
}

TEST_F(CommandLine, ConsoleModeRefusesIncompleteCommands)
{
    expectRefused(
        { { { "--nogui" }, "Unknown command.\n" },
          { { "--nogui", "--general", "--classpath", "a" }, "Unknown command.\n" },
          { { "--nogui", "--testoss", "--classpath", "x" }, "Unknown profile.\n" },
          { { "--nogui", "--testios", "--general" },
            "A classpath is required for test command mode.\n" },
          { { "--nogui", "--testpcs", "--general", "--classpath", "a.jar" },
            "A TSS Java Gold classpath is required for PCS, PSS, and TSS test modes.\n" },
          { { "--nogui", "--testtssabs", "--safetyBase", "--classpath", "a.jar" },
            "A TSS Java Gold classpath is required for PCS, PSS, and TSS test modes.\n" },
          { { "--nogui", "--listcontents", "--classpath=:" }, "A classpath is required.\n" },
          { { "--nogui", "--buildjavagold", "out.javagold" }, "A classpath is required.\n" } },
        true);
}

TEST_F(CommandLine, PortOutsideTheTcpRangeIsRefusedInBothModes)
{
    expectRefused(
        { { { "--port", "70000" }, "Invalid port: 70000\n" },
          { { "--port=-1" }, "Invalid port: -1\n" },
          { { "--port", "99999999999999999999" }, "Invalid port: 99999999999999999999\n" },
          { { "--nogui", "--listcontents", "--classpath", "a", "--port", "65536" },
            "Invalid port: 65536\n" } },
        true);
    runAccepted({ "--nogui", "--listcontents", "--classpath", "a", "--port", "65535" });
    runAccepted({ "--nogui", "--listcontents", "--classpath", "a", "--port", "abc" });
}

TEST_F(CommandLine, ValidCommandsRunTheirWorkerAndExitWithZero)
{
    EXPECT_TRUE(runAccepted({ "--nogui",
                              "--testpcs",
                              "--general",
                              "--classpath",
                              "a.jar",
                              "--tssgold",
                              "g.javagold" })
                    .contains("INFO: Running PCS test\n"));
    // The profile is kept but not required when building gold files.
    runAccepted({ "--general", "--nogui", "--buildjavagold", "out.javagold", "--classpath", "a" });
    EXPECT_TRUE(runAccepted({ "--nogui", "--testtssabsiface", "--safetyExt", "--classpath", "a" })
                    .contains("INFO: Running TSS Abstraction Interface test\n"));
}

TEST_F(CommandLine, AbbreviationsTakeTheUniqueOptionOrTheGroupsFirstMember)
{
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
    EXPECT_TRUE(runAccepted({ "--nogui", "--listcontents", "--classpath", "a=b" })
                    .contains("INFO: Classpath: a=b\n"));
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
    runAccepted({ "--nogui", "--listcontents", "--classpath", "a", "--=", "--bogus" });
    runAccepted({ "--nogui", "-", "--listcontents", "--classpath", "a" });
}
