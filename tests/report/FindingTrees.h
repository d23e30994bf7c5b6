#pragma once

#include "report/Results.h"
#include "report/RunDescription.h"
#include "support/ProtoData.h"

#include <QStringList>

#include <algorithm>
#include <memory>

/// Result trees shaped like the tests' own, built result by result.
class FindingTree
{
public:
    FindingTree()
        : root(createResultsTreeRootNode())
    {
    }

    /// A result in the group at the path below the root ("Access Results", "a.One").
    TestResult &add(const QStringList &path,
                    const QString &name,
                    const QString &description,
                    TestScore score,
                    const QString &line)
    {
        TestResult &result = *group(path).add_results();
        result.set_name(name.toStdString());
        result.set_description(description.toStdString());
        result.set_score(score);
        if (score == R_FAIL)
            error(result.mutable_logs(), line);
        else
            warning(result.mutable_logs(), line);
        return result;
    }

    /// A run of a bit of everything (tests/data/report/mixed-run.textproto).
    static FindingTree mixedRun()
    {
        FindingTree tree;
        *tree.root = protoData<TestResultGroup>("report/mixed-run.textproto");
        return tree;
    }

    std::unique_ptr<TestResultGroup> root;

private:
    TestResultGroup &group(const QStringList &path)
    {
        TestResultGroup *at = root.get();
        for (const QString &name : path) {
            auto &children = *at->mutable_subgroup();
            const auto found = std::find_if(children.begin(), children.end(), [&name](auto &child) {
                return child.name() == name.toStdString();
            });
            at = found != children.end() ? &*found : at->add_subgroup();
            at->set_name(name.toStdString());
        }
        return *at;
    }
};

/// A run as the outputs name it, its texts as a user could give them: a classpath entry and a
/// command-line argument that would be markup or forge a line, a gold file that was not read.
inline RunDescription sampleRun(const QString &title)
{
    return { title,
             "General Purpose",
             { "lib/a.jar", "lib/<b>\nforged.jar" },
             {},
             { { "data/j2se8.javagold", QString(64, QChar('a')) }, { "missing.javagold", "" } },
             "1.2.3",
             "2026-12-05T11:22:28Z",
             "javaconformance --nogui '<x>'" };
}
