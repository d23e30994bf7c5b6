#include "report/ConsoleSummary.h"
#include "support/QtPrinters.h"

#include "FindingTrees.h"
#include "report/Findings.h"
#include "support/Files.h"
#include "support/Golden.h"

#include <gtest/gtest.h>

// Counts, verdict, inputs not read, findings with their causes, most classes first, and where the
// files are, or that they were not written. Of a mixed run, where results that share what they
// name are one finding with every class they affect and results of an unknown shape are findings
// by name and lines; of a run whose access test was interrupted; of one that failed without a
// gold file, which proves nothing; of one with nothing but results a person has to judge; of a
// clean one, whose results could not all be written; of one with classes too new for Java 8,
// which lead whatever else is found; and of one whose lists stop at a screenful and count the
// rest, where a name cannot forge a line.
TEST(ConsoleSummary, OfRunsOfEveryVerdict)
{
    const QList<RunOutputs::File> written {
        { "Results file", "/logs/results.txt", true, false },
        { "JUnit XML", "/logs/results.xml", true, false },
        { "Results page", "/logs/results.html", true, false },
        { "Log file", "/logs/log.txt", true, false },
    };
    const auto summary = [&written](const char *title,
                                    const FindingTree &tree,
                                    const QString &hint,
                                    QList<RunOutputs::File> files = {},
                                    const AcceptedFindings &accepted = AcceptedFindings()) {
        const Findings findings(*tree.root, accepted);
        return ConsoleSummary(
                   sampleRun(title), findings, hint, files.isEmpty() ? written : files, "/data")
                   .getLines()
                   .join('\n')
                   .toUtf8()
            + "\n\n";
    };
    QList<RunOutputs::File> lost = written;
    lost[1].written = false;
    lost[1].earlierRunsFile = true;
    lost[2].written = false;
    lost[3].written = false;
    FindingTree mixed = FindingTree::mixedRun();
    for (const char *user : { "b.One", "b.Two" })
        mixed.add(
            { "Access Results", user }, "Field f existence test", "Odd.", R_FAIL, "Not found");
    setCause(mixed.add({ "Access Results", "b.Sub" },
                       "Method m receiver test",
                       "Access to method m ()V in class a.Base was requested. Checking the objects "
                       "it is used on.",
                       R_FAIL,
                       "Bad access to protected data in invokevirtual"),
             "protected method of a.Base, another package: b.Sub may use it only on a b.Sub or a "
             "subclass, not on a.Base");
    FindingTree interrupted;
    interrupted.add(
        { "Access Results", "a.One" }, "Method open native test", "", R_INSPECT, "native");
    interrupted.add({ "Input Results" },
                    "Access test completion test",
                    "Test if the access test ran to its end.",
                    R_FAIL,
                    "Test interrupted by exception - boom");
    FindingTree withoutGold;
    withoutGold.add(
        { "Access Results", "a.One" }, "Class java.lang.Object existence test", "", R_FAIL, "");
    withoutGold.add({ "Input Results" },
                    "Input data/j2se8.javagold read test",
                    "Test if the reference data file data/j2se8.javagold was read.",
                    R_FAIL,
                    "not found in /tmp/data");
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
    // Of the mixed run again, with findings accepted in one class, in all, and an input not read
    // that stays one.
    AcceptedFindings accepted;
    QString error;
    ASSERT_TRUE(accepted.read(testDataPath("report/accepted-mixed-run.txt"), &error))
        << error.toStdString();
    Golden::expectEqual(
        "report/console-summary.txt",
        summary("PSS test", mixed, "A framework classpath may be missing.")
            + summary("PSS test", FindingTree::mixedRun(), "", {}, accepted)
                  .replace(testDataPath("").toUtf8(), "")
            + summary("PSS test", interrupted, "") + summary("PSS test", withoutGold, "")
            + summary("PSS test", toJudge, "") + summary("PSS test", clean, "", lost)
            + summary("PSS test", tooNew, "") + summary("PCS test", longLists, ""));
}
