#include "conformance/Results.h"

namespace {
void appendLog(ResultLogs *logs, LogLevel level, const QString &text)
{
    LogEntry *entry = logs->Add();
    entry->set_level(level);
    entry->set_text(text.toLocal8Bit().toStdString());
}
} // namespace

TestResultGroup *createResultsTreeRootNode()
{
    auto *root = new TestResultGroup;
    root->set_name("Results Tree");
    return root;
}

void error(ResultLogs *logs, const QString &text)
{
    appendLog(logs, L_ERROR, text);
}

void warning(ResultLogs *logs, const QString &text)
{
    appendLog(logs, L_WARNING, text);
}
