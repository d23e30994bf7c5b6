#pragma once

#include "base/AcceptedFindings.h"
#include "base/Classpath.h"

#include <QString>
#include <QStringList>

/// The parsed command line: the one record every part of the program reads its settings from.
class Options
{
public:
    /// Profile codes, stored in profile (the main window writes the same codes).
    enum Profile { P_NONE = 0, P_GENERAL = 1, P_SAFETY_EXT = 2, P_SAFETY_BASE = 3 };
    /// Command codes, stored in command, in the order of the command options. The segment tests
    /// have the codes their rows of the segment table give them, 1 to 7 and any after these two.
    enum Command { C_NONE = 0, C_BUILDJAVAGOLD = 8, C_LISTCONTENTS = 9 };

    /// Created by a static initializer before main runs; never freed.
    static Options *opts;

    /// Fills the record from the process arguments, or ends the process with status 1 after a
    /// command-line error, after the help, or when a console-mode command is incomplete. Only the
    /// program parses, so this and the two below are defined with the option library in app/.
    void set(int argc, char *argv[]);

    bool gui = true;
    Classpath classpath;
    Classpath frameworkClasspath;
    int profile = P_NONE;
    int command = C_NONE;
    QString tssGold;
    QString goldFile;
    QString logDir;
    QString host = QStringLiteral("localhost");
    int port = 0;
    /// Where the reference gold files are read from ("data" in the working directory unless
    /// another place was named or found).
    QString dataDir = QStringLiteral("data");
    /// Whether a test command ends with a status that follows its verdict rather than 0.
    bool verdictStatus = false;
    /// The findings the integrator accepts, each with its reason; empty when none were given.
    AcceptedFindings accepted;
    /// The options given that only console mode uses ("--classpath", "--testtss", ...), in table
    /// order: the window takes these from its own fields.
    QStringList consoleOnly;

private:
    /// Parses into the record; prints the reason and returns false when the process must end.
    bool read(int argc, char *argv[]);
    /// The console-mode check of the command and its inputs; a null string when it may run.
    QString validationError() const;
};
