#include "conformance/Findings.h"
#include "support/QtPrinters.h"

#include "FindingTrees.h"

#include <gtest/gtest.h>

namespace {

QStringList describe(const Findings &findings)
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
    return lines;
}

} // namespace

TEST(Findings, ResultsSharingWhatTheyNameAreOneFindingWithEveryClassTheyAffect)
{
    const Findings findings(*FindingTree::mixedRun().root);
    EXPECT_EQ(findings.count(R_PASS), 1);
    EXPECT_EQ(findings.count(R_FAIL), 6);
    EXPECT_EQ(findings.count(R_INSPECT), 1);
    EXPECT_EQ(describe(findings),
              (QStringList {
                  "Access Results | FAIL | sun.misc.Unsafe not found |  | a.One,a.Two",
                  "Interface Results | FAIL | drav.ios.IoMode: Java version 8 - Found incorrect "
                  "version INVALID | major 55 = Java 11 | drav.ios.IoMode",
                  "Access Results | FAIL | method fw.Bytes fw.Bytes.flip() not found | exists "
                  "returning fw.Buffer | a.Three",
                  "Access Results | INSPECT | native method int x.Native.open(int): inspection "
                  "required |  | a.Two" }));
    EXPECT_EQ(findings.getMissingClasses(), QStringList { "sun.misc.Unsafe" });
    EXPECT_EQ(findings.getUnreadInputs(),
              QList<QStringList> { { "component classpath entry x.jar: not found in /tmp" } });
    EXPECT_EQ(findings.getVerdict(), Findings::V_DOES_NOT_CONFORM);
    EXPECT_EQ(findings.getVerdictLine(),
              "does not conform - 5 results failed (3 distinct findings), 1 needs inspection, "
              "and 1 input not read");
}

TEST(Findings, UnreadInputsMakeARunIncompleteAsDoInspectionsAlone)
{
    FindingTree unread;
    unread.add({ "Access Results", "a.One" },
               "Method open native test",
               "Access to method open (I)I in class x.Native was requested. Checking if method is "
               "native.",
               R_INSPECT,
               "Method is native.");
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
    clean.add({ "Access Results", "a.One" },
              "Class java.lang.reflect.Method reflection "
              "informational test",
              "",
              R_PASS,
              "reflection");
    EXPECT_EQ(Findings(*clean.root).getVerdict(), Findings::V_CONFORMS);
    EXPECT_TRUE(Findings(*clean.root).getFindings().isEmpty());
}

TEST(Findings, ResultsOfAnUnknownShapeAreFindingsByNameAndLines)
{
    FindingTree tree;
    tree.add({ "Access Results", "a.One" },
             "Field f existence test",
             "Unexpected words.",
             R_FAIL,
             "Field not found");
    tree.add({ "Access Results", "a.Two" },
             "Field f existence test",
             "Unexpected words.",
             R_FAIL,
             "Field not found");
    EXPECT_EQ(describe(Findings(*tree.root)),
              QStringList { "Access Results | FAIL | Field f existence test: Field not found |  | "
                            "a.One,a.Two" });
}
