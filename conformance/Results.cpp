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

void setCause(TestResult &result, const QString &cause)
{
    if (!cause.isEmpty())
        result.set_cause(cause.toLocal8Bit().toStdString());
}

QString fromTree(const std::string &text)
{
    return QString::fromLocal8Bit(text.data(), int(text.size()));
}

QString countOf(int n, const QString &one, const QString &many)
{
    return QString("%1 %2").arg(n).arg(n == 1 ? one : many);
}
