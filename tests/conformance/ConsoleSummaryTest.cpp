#include "conformance/ConsoleSummary.h"
#include "support/QtPrinters.h"

#include "FindingTrees.h"
#include "conformance/Findings.h"
#include "support/Golden.h"

#include <gtest/gtest.h>

TEST(ConsoleSummary, SaysCountsVerdictInputsFindingsWithCausesAndWhereTheFilesAre)
{
    const auto summary = [](const char *title, const FindingTree &tree, const QString &hint) {
        const Findings findings(*tree.root);
        return ConsoleSummary(title, findings, hint, "/logs").getLines().join('\n').toUtf8() + '\n';
    };
    Golden::expectEqual(
        "conformance/console-summary.txt",
        summary("PSS test", FindingTree::mixedRun(), "A framework classpath may be missing."));

    // Long lists stop at a screenful and count the rest; a name cannot forge a line.
    FindingTree tree;
    tree.add({ "Access Results", "a.User" },
             "Class p.Evil\n  Verdict: conforms existence test",
             "Access to class was requested.",
             R_FAIL,
             "Class not found");
    for (int i = 0; i < 30; ++i) {
        const QString cls = QString("p.Missing%1").arg(i, 2, 10, QChar('0'));
        tree.add({ "Access Results", "a.User" },
                 QString("Class %1 existence test").arg(cls),
                 "Access to class was requested.",
                 R_FAIL,
                 "Class not found");
        tree.add({ "Input Results" },
                 QString("Input %1.jar read test").arg(cls),
                 QString("Test if %1.jar was read.").arg(cls),
                 R_FAIL,
                 "holds no class file");
    }
    Golden::expectEqual("conformance/console-summary-long.txt", summary("PCS test", tree, ""));
}
