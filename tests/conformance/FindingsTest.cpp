#include "conformance/Findings.h"
#include "support/QtPrinters.h"

#include "FindingTrees.h"
#include "support/Golden.h"

#include <gtest/gtest.h>

namespace {

/// Every finding on a line, then what the run missed, then the verdict.
QByteArray describe(const Findings &findings)
{
    QStringList lines;
    for (const Findings::Finding &f : findings.getFindings()) {
        lines << QString("%1 | %2 | %3 | %4 | %5")
                     .arg(f.section,
                          f.score == R_FAIL ? "FAIL" : "INSPECT",
                          f.text,
                          f.cause,
                          f.classes.join(","));
    }
    lines << "missing: " + findings.getMissingClasses().join(", ");
    for (const QStringList &input : findings.getUnreadInputs())
        lines << "not read: " + input.join(" / ");
    lines << QString("%1 PASS, %2 FAIL, %3 INSPECT")
                 .arg(findings.count(R_PASS))
                 .arg(findings.count(R_FAIL))
                 .arg(findings.count(R_INSPECT));
    lines << QString("verdict %1: %2").arg(findings.getVerdict()).arg(findings.getVerdictLine());
    return lines.join('\n').toUtf8() + '\n';
}

} // namespace

// Results that share what they name are one finding with every class they affect; results of an
// unknown shape are findings by name and lines.
TEST(Findings, OfAMixedRun)
{
    FindingTree tree = FindingTree::mixedRun();
    for (const char *user : { "b.One", "b.Two" })
        tree.add({ "Access Results", user }, "Field f existence test", "Odd.", R_FAIL, "Not found");
    Golden::expectEqual("conformance/findings-mixed-run.txt", describe(Findings(*tree.root)));
}

TEST(Findings, UnreadInputsMakeARunIncompleteAsDoInspectionsAlone)
{
    FindingTree unread;
    unread.add({ "Access Results", "a.One" }, "Method open native test", "", R_INSPECT, "native");
    unread.add({ "Input Results" },
               "Access test completion test",
               "Test if the access test ran to its end.",
               R_FAIL,
               "Test interrupted by exception - boom");
    const Findings incomplete(*unread.root);
    EXPECT_EQ(incomplete.getVerdict(), Findings::V_INCOMPLETE);
    EXPECT_EQ(incomplete.getVerdictLine(),
              "incomplete - 1 test interrupted, so part of the component or of what it is "
              "checked against was never checked");
    EXPECT_EQ(incomplete.getUnreadInputs(),
              QList<QStringList> { { "access test: Test interrupted by exception - boom" } });

    FindingTree inspect;
    inspect.add({ "Access Results", "a.One" }, "Method open native test", "", R_INSPECT, "native");
    inspect.add({ "Access Results", "a.Two" }, "Method open native test", "", R_INSPECT, "native");
    EXPECT_EQ(Findings(*inspect.root).getVerdictLine(),
              "incomplete - 2 results need a person's inspection (INSPECT, printed UNKNOWN in "
              "results.txt); nothing failed");

    FindingTree clean;
    clean.add({ "Access Results", "a.One" }, "Class x reflection test", "", R_PASS, "reflection");
    EXPECT_EQ(Findings(*clean.root).getVerdict(), Findings::V_CONFORMS);
    EXPECT_TRUE(Findings(*clean.root).getFindings().isEmpty());
}
