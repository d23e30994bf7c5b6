#pragma once

/// The start of a run that the console program and the window program share: both read the same
/// command line into Options::opts, and each runs its mode in the log directory as the other
/// would, so that a run's log, lock and exit status do not depend on which program ran it.
namespace Startup {

/// How a mode runs: it makes its application object, runs the event loop and returns its status.
using Mode = int (*)(int &argc, char **argv);

/// Reads the command line into Options::opts, or ends the process where the command line says
/// so (an error, --help, --version).
void readOptions(int argc, char **argv);

/// Takes the log directory, opens the log and runs the mode; the process's exit status.
int run(int &argc, char **argv, Mode mode);

/// Console mode: the one command of the options, run by CLI.
int runConsole(int &argc, char **argv);

} // namespace Startup
