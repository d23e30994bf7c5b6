#pragma once

#include "TestResult.pb.h"

#include <QString>

class DependencyOrigins;

/// The result log lines of one TestResult, as its generated mutable_logs() returns them.
using ResultLogs = google::protobuf::RepeatedPtrField<LogEntry>;

/// A new, empty tree root named "Results Tree"; the caller owns it.
TestResultGroup *createResultsTreeRootNode();

/// Appends an L_ERROR line to a result's logs, stored in the local 8-bit encoding.
void error(ResultLogs *logs, const QString &text);

/// Appends an L_WARNING line to a result's logs, stored in the local 8-bit encoding.
void warning(ResultLogs *logs, const QString &text);

/// Sets a result's cause (stored in the local 8-bit encoding) unless cause is empty.
void setCause(TestResult &result, const QString &cause);

/// Sets where the component makes the reference a result is about.
void setOrigins(TestResult &result, const DependencyOrigins &origins);

/// The tree without origins and class entries: what goes to the reporting host, whose bytes stay as
/// they were.
void clearOrigins(TestResultGroup &root);

/// A text of the tree as a QString; the tree holds the local 8-bit encoding.
QString fromTree(const std::string &text);

/// "1 class", "3 classes": a count with its noun.
QString countOf(int n, const QString &one, const QString &many);
