#include "base/Options.h"

#include "app/QtArg.h"
#include "app/QtArgCmdLine.h"
#include "app/QtArgHelp.h"
#include "app/QtArgHelpHasPrintedEx.h"
#include "app/QtArgUnexpectedOptionEx.h"
#include "app/QtXorArg.h"
#include "base/DataDirectory.h"
#include "base/Version.h"
#include "conformance/Segment.h"

#include <QRegExp>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

void printError(const QString &message)
{
    std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
}

/// The index of the one given option among options, or -1 when none was given.
template<std::size_t N> int definedIndex(const QtArg (&options)[N])
{
    for (std::size_t i = 0; i < N; ++i) {
        if (options[i].isDefined())
            return int(i);
    }
    return -1;
}

template<std::size_t N> QList<QtArg *> pointersTo(QtArg (&options)[N])
{
    QList<QtArg *> pointers;
    for (QtArg &option : options)
        pointers << &option;
    return pointers;
}

/// A command option and the code Options::command takes when it is given.
struct CommandOption
{
    int code;
    QtArg option;
};

// Each segment of the table, then the commands that are not tests, in command-code order.
std::vector<CommandOption> commandOptions()
{
    std::vector<CommandOption> commands;
    for (const Segment &segment : Segment::all())
        commands.push_back({ segment.command, QtArg(segment.option, segment.help) });
    commands.push_back({ Options::C_BUILDJAVAGOLD,
                         QtArg("buildjavagold", "Build a Java Gold file.", QtArg::TakesValue) });
    commands.push_back(
        { Options::C_LISTCONTENTS, QtArg("listcontents", "List contents of a classpath.") });
    std::stable_sort(
        commands.begin(), commands.end(), [](const CommandOption &a, const CommandOption &b) {
            return a.code < b.code;
        });
    return commands;
}

QList<QtArg *> pointersTo(std::vector<CommandOption> &commands)
{
    QList<QtArg *> pointers;
    for (CommandOption &command : commands)
        pointers << &command.option;
    return pointers;
}

bool isDecimalNumber(const QString &text)
{
    return QRegExp("\\s*[+-]?[0-9]+\\s*").exactMatch(text);
}

/// The program's options, registered with the parser in this order, which is also the order of
/// the usage line and of the help lines.
struct OptionTable
{
    explicit OptionTable(const QtArgCmdLine *cmdLine)
        : help(cmdLine)
    {
        help.printer().setProgramDescription("DRAV Java Conformance Tester");
    }
    // The groups point into the table.
    OptionTable(const OptionTable &) = delete;
    OptionTable &operator=(const OptionTable &) = delete;

    void registerWith(QtArgCmdLine &cmdLine)
    {
        cmdLine.addArg(guiMode);
        cmdLine.addArg(classpath);
        cmdLine.addArg(frameworkClasspath);
        cmdLine.addArg(tssGold);
        cmdLine.addArg(logDir);
        cmdLine.addArg(commandMode);
        cmdLine.addArg(profileGroup);
        cmdLine.addArg(host);
        cmdLine.addArg(port);
        cmdLine.addArg(help);
        // Options the first releases did not have come last, so that every abbreviation and
        // help line of the earlier ones stays as it was.
        cmdLine.addArg(version);
        cmdLine.addArg(dataDir);
        cmdLine.addArg(verdictStatus);
        cmdLine.addArg(accepted);
    }

    QtArg gui { "gui", "Show the GUI. [Default] (No other options will be used.)" };
    QtArg nogui { "nogui", "Do not show the GUI, and execute in command mode." };
    QtXorArg guiMode { "GUI Mode", { &gui, &nogui } };
    QtArg classpath { "classpath",
                      "Your classpath in command mode. (Required for testing in command mode.)",
                      QtArg::TakesValue };
    QtArg frameworkClasspath {
        "frameworkclasspath",
        "Framework classpath in command mode. (For testing in command mode.)",
        QtArg::TakesValue
    };
    QtArg tssGold { "tssgold", "TSS Java Gold classpath.", QtArg::TakesValue };
    QtArg logDir { "logdir",
                   "Your log directory in command mode. (Defaults to current directory.)",
                   QtArg::TakesValue };
    // The group points into the list, which never grows once made.
    std::vector<CommandOption> commands = commandOptions();
    QtXorArg commandMode { "Command Mode", pointersTo(commands) };
    // In profile-code order: the code of a profile is its index plus one.
    QtArg profiles[3] {
        { "general", "Use General Profile." },
        { "safetyExt", "Use Safety Extended Profile." },
        { "safetyBase", "Use Safety Base Profile." },
    };
    QtXorArg profileGroup { "Profile", pointersTo(profiles) };
    QtArg host { "host", "Hostname to report results.", QtArg::TakesValue };
    QtArg port { "port", "TCP port to report results.", QtArg::TakesValue };
    QtArgHelp help;
    QtArg version { "version", "Print the version and how the program was built, and exit." };
    QtArg dataDir { "datadir",
                    "Reference gold files directory. (Defaults to data/ in the current directory, "
                    "then the installation's.)",
                    QtArg::TakesValue };
    QtArg verdictStatus { "verdictstatus",
                          "Exit with the verdict's status in command mode: 0 conforms, 3 does not "
                          "conform, 4 needs inspection, 5 incomplete." };
    QtArg accepted { "accepted",
                     "File of the findings accepted, each with its reason.",
                     QtArg::TakesValue };

    /// The command given, or null when none was.
    const CommandOption *givenCommand() const
    {
        for (const CommandOption &command : commands) {
            if (command.option.isDefined())
                return &command;
        }
        return nullptr;
    }

    const QtArg &commandOption(int code) const
    {
        return std::find_if(commands.cbegin(),
                            commands.cend(),
                            [code](const CommandOption &command) { return command.code == code; })
            ->option;
    }
};

QStringList consoleOnlyOptions(OptionTable &table)
{
    QList<const QtArg *> given;
    for (const QtArg *option : { &table.classpath, &table.frameworkClasspath, &table.tssGold })
        given << option;
    if (const CommandOption *command = table.givenCommand())
        given << &command->option;
    const int profile = definedIndex(table.profiles);
    if (profile >= 0)
        given << &table.profiles[profile];
    given << &table.verdictStatus;
    QStringList names;
    for (const QtArg *option : given) {
        if (option->isDefined())
            names << "--" + option->name();
    }
    return names;
}

// A second word after a classpath option is nearly always a second entry.
bool isClasspathOption(const QString &token, const QtArgCmdLine &cmdLine, const OptionTable &table)
{
    const QtArg *option = cmdLine.findLong(token.mid(2)).arg;
    return option == &table.classpath || option == &table.frameworkClasspath;
}

/// Reads the command line into the table; false, with the reason printed, when the process must
/// end.
bool parse(QtArgCmdLine &cmdLine, OptionTable &table)
{
    try {
        table.registerWith(cmdLine);
        cmdLine.parse();
    } catch (const QtArgHelpHasPrintedEx &) {
        return false;
    } catch (const QtArgUnexpectedOptionEx &error) {
        std::fprintf(stderr, "%s\n", error.what());
        if (isClasspathOption(error.lastOption(), cmdLine, table))
            printError("Classpath entries are joined with ':' into one value, as in --classpath "
                       "a.jar:b.jar.");
        return false;
    } catch (const QtArgBaseException &error) {
        std::fprintf(stderr, "%s\n", error.what());
        return false;
    }
    return true;
}

} // namespace

void Options::set(int argc, char *argv[])
{
    if (!read(argc, argv))
        std::exit(1);
    if (gui)
        return;
    const QString error = validationError();
    if (!error.isNull()) {
        printError(error);
        std::exit(1);
    }
}

bool Options::read(int argc, char *argv[])
{
    QtArgCmdLine cmdLine(argc, argv);
    OptionTable table(&cmdLine);
    if (!parse(cmdLine, table))
        return false;
    if (table.version.isDefined()) {
        std::printf(
            "DRAV Java Conformance Tester %s\nBuilt with %s\n", Version::number, Version::build);
        std::exit(0);
    }

    // A number that does not fit a TCP port would be cut down to one nobody asked for.
    const QString portText = table.port.value();
    bool portIsNumber = false;
    const int portNumber = portText.toInt(&portIsNumber);
    if (isDecimalNumber(portText) && (!portIsNumber || portNumber < 0 || portNumber > 65535)) {
        printError(QString("Invalid port: %1").arg(portText));
        return false;
    }

    gui = !table.nogui.isDefined();
    classpath = Classpath(table.classpath.value());
    frameworkClasspath = Classpath(table.frameworkClasspath.value());
    // An empty directory is the current one, as no option is: "" + "/log.txt" would be the root's.
    logDir = table.logDir.value().isEmpty() ? QStringLiteral(".") : table.logDir.value();
    goldFile = table.commandOption(C_BUILDJAVAGOLD).value();
    tssGold = table.tssGold.value();
    host = table.host.isDefined() ? table.host.value() : QStringLiteral("localhost");
    port = portIsNumber ? portNumber : 0;
    command = table.givenCommand() ? table.givenCommand()->code : int(C_NONE);
    profile = definedIndex(table.profiles) + 1;
    consoleOnly = consoleOnlyOptions(table);
    dataDir = DataDirectory::find(table.dataDir.value());
    verdictStatus = table.verdictStatus.isDefined();
    // A mistake in the file is said before a test takes its time.
    QString acceptedError;
    if (table.accepted.isDefined() && !accepted.read(table.accepted.value(), &acceptedError)) {
        printError(acceptedError);
        return false;
    }
    return true;
}

QString Options::validationError() const
{
    if (command == C_NONE)
        return "Unknown command.";
    const Segment *segment = Segment::forCommand(command);
    if (!segment)
        return classpath.isEmpty() ? "A classpath is required." : QString();
    if (profile < P_GENERAL || profile > P_SAFETY_BASE)
        return "Unknown profile.\nGive one of --general (General Purpose), --safetyExt (Safety "
               "Extended) or --safetyBase (Safety Base).";
    if (classpath.isEmpty())
        return "A classpath is required for test command mode.";
    if (segment->needsTssGold && tssGold.isNull())
        return QString("A TSS Java Gold classpath is required for PCS, PSS, and TSS test modes.\n"
                       "Name the platform's TSS gold file with --tssgold FILE, or the shipped one: "
                       "--tssgold %1/TSS_type_independent.javagold")
            .arg(dataDir);
    return QString();
}
