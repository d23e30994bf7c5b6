#include "report/Results.h"

#include "classfile/DependencyOrigins.h"

#include <vector>

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

void setOrigins(TestResult &result, const DependencyOrigins &origins)
{
    for (const DependencyOrigins::Origin &origin : origins.getKept()) {
        Origin &place = *result.add_origins();
        place.set_place(DependencyOrigins::placeText(origin.place).toStdString());
        if (!origin.member.isEmpty())
            place.set_member(origin.member.toLocal8Bit().toStdString());
        if (origin.line > 0)
            place.set_line(origin.line);
    }
    if (origins.getMore() > 0)
        result.set_more_origins(origins.getMore());
}

void clearOrigins(TestResultGroup &root)
{
    // Iterative: the tree's depth is not bounded by anything the program controls.
    std::vector<TestResultGroup *> pending { &root };
    while (!pending.empty()) {
        TestResultGroup *group = pending.back();
        pending.pop_back();
        group->clear_entry();
        for (TestResult &result : *group->mutable_results()) {
            result.clear_origins();
            result.clear_more_origins();
        }
        for (TestResultGroup &subgroup : *group->mutable_subgroup())
            pending.push_back(&subgroup);
    }
}

QString fromTree(const std::string &text)
{
    return QString::fromLocal8Bit(text.data(), int(text.size()));
}

QString countOf(int n, const QString &one, const QString &many)
{
    return QString("%1 %2").arg(n).arg(n == 1 ? one : many);
}
