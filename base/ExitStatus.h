#pragma once

/// The exit status of a command that ran: a command whose output was lost (a results file or a
/// gold file that could not be written) must not end as a success, whatever its verdict. The test
/// verdict counts only where it was asked for, and a refused command line ends the process before
/// anything runs.
class ExitStatus
{
public:
    /// The status of a command whose output is lost.
    static constexpr int OUTPUT_LOST = 2;
    /// The statuses of a test's verdict other than "conforms" (0).
    static constexpr int DOES_NOT_CONFORM = 3;
    static constexpr int NEEDS_INSPECTION = 4;
    static constexpr int INCOMPLETE = 5;

    /// Marks the output of the running command as lost; from any thread.
    static void outputLost();
    /// Records the status of the verdict a test reached; from any thread.
    static void verdictReached(int verdictStatus);
    /// OUTPUT_LOST once something was lost; otherwise the verdict's status when it is followed,
    /// else 0.
    static int get(bool followVerdict);
};
