#include "conformance/ConsoleSummary.h"
#include "support/QtPrinters.h"

#include "FindingTrees.h"
#include "conformance/Findings.h"
#include "support/Golden.h"

#include <gtest/gtest.h>

// Counts, verdict, inputs not read, findings with their causes, most classes first, and where the
// files are. Of a mixed run, where results that share what they name are one finding with every
// class they affect and results of an unknown shape are findings by name and lines; of a run whose
// access test was interrupted; of one with nothing but results a person has to judge; of a clean
// one; of one with classes too new for Java 8, which lead whatever else is found; and of one whose
// lists stop at a screenful and count the rest, where a name cannot forge a line.
TEST(ConsoleSummary, OfRunsOfEveryVerdict)
{
    const auto summary = [](const char *title, const FindingTree &tree, const QString &hint) {
        const Findings findings(*tree.root);
        return ConsoleSummary(title, findings, hint, "/logs", "/data")
                   .getLines()
                   .join('\n')
                   .toUtf8()
            + "\n\n";
    };
    FindingTree mixed = FindingTree::mixedRun();
    for (const char *user : { "b.One", "b.Two" })
        mixed.add(
            { "Access Results", user }, "Field f existence test", "Odd.", R_FAIL, "Not found");
    FindingTree interrupted;
    interrupted.add(
        { "Access Results", "a.One" }, "Method open native test", "", R_INSPECT, "native");
    interrupted.add({ "Input Results" },
                    "Access test completion test",
                    "Test if the access test ran to its end.",
                    R_FAIL,
                    "Test interrupted by exception - boom");
    FindingTree toJudge;
    toJudge.add({ "Access Results", "a.One" }, "Method open native test", "", R_INSPECT, "native");
    toJudge.add({ "Access Results", "a.Two" }, "Method open native test", "", R_INSPECT, "native");
    FindingTree clean;
    clean.add({ "Access Results", "a.One" }, "Class x reflection test", "", R_PASS, "reflection");
    FindingTree tooNew;
    for (const char *user : { "a.One", "a.Two", "a.Three" })
        tooNew.add(
            { "Access Results", user }, "Class p.Gone existence test", "", R_FAIL, "Not found");
    for (const char *user : { "a.One", "a.Two" }) {
        setCause(tooNew.add({ "Access Results", user },
                            "Java version 8 test",
                            "Java class file version must be 8 or less.",
                            R_FAIL,
                            "Found incorrect version INVALID"),
                 "major 55 = Java 11, newer than Java 8 (major 52): build with --release 8");
    }
    tooNew.add(
        { "Access Results", "a.Two" },
        "Method check native test",
        "Method check ([B)I in class a.Two is declared native. Checking if method is native.",
        R_INSPECT,
        "Method is native. Inspection required to determine conformance of JNI calls.");
    FindingTree longLists;
    longLists.add({ "Access Results", "a.User" },
                  "Class p.Evil\n  Verdict: conforms existence test",
                  "Access to class was requested.",
                  R_FAIL,
                  "Class not found");
    for (int i = 0; i < 30; ++i) {
        const QString cls = QString("p.Missing%1").arg(i, 2, 10, QChar('0'));
        longLists.add({ "Access Results", "a.User" },
                      QString("Class %1 existence test").arg(cls),
                      "Access to class was requested.",
                      R_FAIL,
                      "Class not found");
        longLists.add({ "Input Results" },
                      QString("Input %1.jar read test").arg(cls),
                      QString("Test if %1.jar was read.").arg(cls),
                      R_FAIL,
                      "holds no class file");
    }
    Golden::expectEqual("conformance/console-summary.txt",
                        summary("PSS test", mixed, "A framework classpath may be missing.")
                            + summary("PSS test", interrupted, "")
                            + summary("PSS test", toJudge, "") + summary("PSS test", clean, "")
                            + summary("PSS test", tooNew, "") + summary("PCS test", longLists, ""));
}
