#pragma once

/// The exit status of a command that ran: a command whose output was lost (a results file or a
/// gold file that could not be written) must not end as a success. The test verdict never counts
/// here, and a refused command line ends the process before anything runs.
class ExitStatus
{
public:
    /// The status of a command whose output is lost.
    static constexpr int OUTPUT_LOST = 2;

    /// Marks the output of the running command as lost; from any thread.
    static void outputLost();
    /// 0, or OUTPUT_LOST once something was lost.
    static int get();
};
