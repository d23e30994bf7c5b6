#include "conformance/ConsoleSummary.h"
#include "support/QtPrinters.h"

#include "FindingTrees.h"
#include "conformance/Findings.h"
#include "support/Golden.h"

#include <gtest/gtest.h>

TEST(ConsoleSummary, SaysCountsVerdictInputsFindingsWithCausesAndWhereTheFilesAre)
{
    const Findings findings(*FindingTree::mixedRun().root);
    const QStringList lines
        = ConsoleSummary("PSS test", findings, "A framework classpath may be missing.", "/logs")
              .getLines();
    Golden::expectEqual("conformance/console-summary.txt", lines.join('\n').toUtf8() + '\n');
}

// Long lists stop at a screenful and count the rest; a name cannot forge a line.
TEST(ConsoleSummary, LongListsAndNamesOfLines)
{
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
    const QStringList lines
        = ConsoleSummary("PCS test", Findings(*tree.root), QString(), "/logs").getLines();
    Golden::expectEqual("conformance/console-summary-long.txt", lines.join('\n').toUtf8() + '\n');
}
