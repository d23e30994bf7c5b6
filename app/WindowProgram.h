#pragma once

/// The window is a program of its own, installed beside this one: a console run then loads no GUI
/// libraries, and GUI mode hands the whole run over to it.
namespace WindowProgram {

/// Replaces this process with the window program, given the same arguments, before anything of
/// the run (log directory, lock, log) is made: the window program makes it all itself. Returns
/// only when the window program cannot be started, with the reason said on standard error, and
/// then returns the exit status 1.
int handOver(char **argv);

} // namespace WindowProgram
