#pragma once

#include "TestResult.pb.h"

#include <QString>
#include <ostream>

class ResultsFile;

/// Writes a finished result tree to results.txt in the log directory and, when a report port is
/// configured, sends it to the reporting host. Blocks the calling (worker) thread.
void store(const TestResultGroup &root);
/// The same into the results file that the run prepared when it started.
void store(const TestResultGroup &root, ResultsFile &results);

/// Writes one group and everything below it in the text form of results.txt; indent is the
/// group's depth, 0 for the root.
void write(std::ostream &out, const TestResultGroup &group, int indent);

namespace RUtil {

/// How long each step of the network report may block: connecting, writing, disconnecting.
constexpr int reportTimeoutMs = 5000;

/// results.txt in the log directory of the options.
QString resultsPath();

/// Writes the text form of root to the file path, replacing it; failures are logged.
void writeResultsFile(const QString &path, const TestResultGroup &root);

/// Sends root as one length-prefixed message over one TCP connection; failures are logged.
/// Each of the three waits is bounded by timeoutMs.
void sendResults(const QString &host,
                 int port,
                 const TestResultGroup &root,
                 int timeoutMs = reportTimeoutMs);

} // namespace RUtil
