#include "conformance/Findings.h"
#include "support/QtPrinters.h"

#include "FindingTrees.h"
#include "support/Golden.h"

#include <gtest/gtest.h>

namespace {

void addOrigin(TestResult &result, const char *place, const char *member, int line)
{
    Origin &origin = *result.add_origins();
    origin.set_place(place);
    origin.set_member(member);
    if (line > 0)
        origin.set_line(line);
}

/// Every finding on a line, with where each of its classes makes it, then what the run missed,
/// then the verdict.
QString describe(const FindingTree &tree)
{
    const Findings findings(*tree.root);
    QStringList lines;
    for (const Findings::Finding &f : findings.getFindings()) {
        lines << QString("%1 | %2 | %3 | %4 | %5")
                     .arg(f.section,
                          f.score == R_FAIL ? "FAIL" : "INSPECT",
                          f.text,
                          f.cause,
                          f.classes.join(","));
        for (const DependencyOrigins &origins : f.origins) {
            QStringList places;
            for (const DependencyOrigins::Origin &origin : origins.getKept())
                places << QString("%1:%2").arg(origin.member).arg(origin.line);
            if (origins.getMore() > 0)
                places << QString("+%1").arg(origins.getMore());
            if (!places.isEmpty())
                lines << "    at " + places.join(' ');
        }
    }
    lines << "missing: " + findings.getMissingClasses().join(", ");
    for (const QStringList &input : findings.getUnreadInputs())
        lines << "not read: " + input.join(" / ");
    lines << QString("%1 PASS, %2 FAIL, %3 INSPECT")
                 .arg(findings.count(R_PASS))
                 .arg(findings.count(R_FAIL))
                 .arg(findings.count(R_INSPECT));
    lines << QString("verdict %1: %2").arg(findings.getVerdict()).arg(findings.getVerdictLine());
    return lines.join('\n') + "\n\n";
}

} // namespace

// Results that share what they name are one finding with every class they affect, and where each
// class makes it, once; results of an unknown shape are findings by name and lines. Inputs not
// read make a run incomplete, as do results that only a person can judge.
TEST(Findings, OfMixedIncompleteAndCleanRuns)
{
    FindingTree mixed = FindingTree::mixedRun();
    for (const char *user : { "b.One", "b.Two" })
        mixed.add(
            { "Access Results", user }, "Field f existence test", "Odd.", R_FAIL, "Not found");
    // sun.misc.Unsafe missing for a.One through the class and one of its methods, and for a.Two.
    TestResultGroup &access = *mixed.root->mutable_subgroup(1);
    TestResult &ofClass = *access.mutable_subgroup(0)->mutable_results(0);
    addOrigin(ofClass, "code", "cas(JJ)Z", 155);
    addOrigin(ofClass, "field type", "unsafe", 0);
    TestResult &ofMethod = *access.mutable_subgroup(0)->mutable_results(1);
    addOrigin(ofMethod, "code", "cas(JJ)Z", 155);
    addOrigin(ofMethod, "code", "<clinit>()V", 40);
    ofMethod.set_more_origins(3);
    addOrigin(*access.mutable_subgroup(1)->mutable_results(0), "code", "get()V", 0);

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

    const QString text
        = describe(mixed) + describe(interrupted) + describe(toJudge) + describe(clean);
    Golden::expectEqual("conformance/findings.txt", text.toUtf8());
}
