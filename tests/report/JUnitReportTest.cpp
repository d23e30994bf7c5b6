#include "report/JUnitReport.h"

#include "FindingTrees.h"
#include "report/Findings.h"
#include "support/Golden.h"

#include <QXmlStreamReader>
#include <gtest/gtest.h>

namespace {

/// The report, once checked to be well-formed XML.
QByteArray wellFormed(const QByteArray &xml)
{
    QXmlStreamReader reader(xml);
    while (!reader.atEnd())
        reader.readNext();
    EXPECT_FALSE(reader.hasError()) << qPrintable(reader.errorString());
    return xml;
}

} // namespace

// One suite per top group, one case per class; failures with their texts and causes. Inspections
// alone skip a case; a name's control and bidirectional characters are escaped as results.txt
// escapes them, in attributes and text alike, and what XML cannot carry becomes a replacement
// character.
TEST(JUnitReport, OfAMixedRunAndOfInspectionsAndControlCharacters)
{
    const FindingTree mixed = FindingTree::mixedRun();
    Golden::expectEqual(
        "report/junit-mixed-run.xml",
        wellFormed(JUnitReport::toXml(*mixed.root, Findings(*mixed.root), sampleRun("PSS test"))));
    FindingTree tree;
    tree.add({ "Access Results",
               QString("bad\n  Verdict: conforms - no result failed") + QChar(0x202e) + "x" },
             "Method open native test",
             "Access to method open (I)I in class x.Native was requested. Checking if method is "
             "native.",
             R_INSPECT,
             QString("native \x1b[31m") + QChar(0xfffe));
    tree.add({ "Access Results", "clean" }, "Class java.lang.reflect.Method test", "", R_PASS, "");
    Golden::expectEqual(
        "report/junit-unknown-only.xml",
        wellFormed(JUnitReport::toXml(*tree.root, Findings(*tree.root), sampleRun("PSS test"))));
}
