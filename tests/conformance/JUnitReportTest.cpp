#include "conformance/JUnitReport.h"
#include "support/QtPrinters.h"

#include "FindingTrees.h"

#include <QXmlStreamReader>
#include <gtest/gtest.h>

namespace {

/// The report read back: an element per line, "name attr=value ...", and element texts.
QStringList readBack(const QByteArray &xml)
{
    QStringList lines;
    QXmlStreamReader reader(xml);
    while (!reader.atEnd()) {
        reader.readNext();
        if (reader.isStartElement()) {
            QStringList line { reader.name().toString() };
            for (const QXmlStreamAttribute &attribute : reader.attributes())
                line << attribute.name() + "=" + attribute.value();
            lines << line.join(' ');
        } else if (reader.isCharacters() && !reader.isWhitespace()) {
            lines << "text: " + reader.text().toString();
        }
    }
    EXPECT_FALSE(reader.hasError()) << qPrintable(reader.errorString());
    return lines;
}

} // namespace

TEST(JUnitReport, OneSuitePerTopGroupOneCasePerClassFailuresWithTheirTextsAndCauses)
{
    const QStringList xml = readBack(JUnitReport::toXml(*FindingTree::mixedRun().root));
    EXPECT_EQ(xml,
              (QStringList {
                  "testsuites name=Results Tree tests=5 failures=5 errors=0 skipped=0",
                  "testsuite name=Interface Results tests=1 failures=1 errors=0 skipped=0",
                  "testcase classname=drav.ios.IoMode name=interface test",
                  "failure message=drav.ios.IoMode: Java version 8 - Found incorrect version "
                  "INVALID: major 55 = Java 11 type=FAIL",
                  "text: Attributes / Java version 8 test: FAIL\n"
                  "  Java class file version must be 8 or less.\n"
                  "  ERROR: Found incorrect version INVALID\n"
                  "  Cause: major 55 = Java 11",
                  "testsuite name=Access Results tests=3 failures=3 errors=0 skipped=0",
                  "testcase classname=a.One name=access test",
                  "failure message=sun.misc.Unsafe not found (first of 2 failures) type=FAIL",
                  "text: Class sun.misc.Unsafe existence test: FAIL\n"
                  "  Access to class sun.misc.Unsafe was requested. Checking for existence.\n"
                  "  ERROR: Class not found\n\n"
                  "Class sun.misc.Unsafe existence test: FAIL\n"
                  "  Access to method getUnsafe ()Lsun/misc/Unsafe; in class sun.misc.Unsafe was "
                  "requested. Checking for class existence.\n"
                  "  ERROR: Class not found",
                  "testcase classname=a.Two name=access test",
                  "failure message=sun.misc.Unsafe not found type=FAIL",
                  "text: Class sun.misc.Unsafe existence test: FAIL\n"
                  "  Access to class sun.misc.Unsafe was requested. Checking for existence.\n"
                  "  ERROR: Class not found\n\n"
                  "Method open native test: INSPECT\n"
                  "  Access to method open (I)I in class x.Native was requested. Checking if "
                  "method is native.\n"
                  "  WARNING: Method is native. Inspection required to determine conformance of "
                  "JNI calls.",
                  "testcase classname=a.Three name=access test",
                  "failure message=method fw.Bytes fw.Bytes.flip() not found: exists returning "
                  "fw.Buffer type=FAIL",
                  "text: Method flip existence test: FAIL\n"
                  "  Access to method flip ()Lfw/Bytes; in class fw.Bytes was requested. Checking "
                  "for method existence.\n"
                  "  ERROR: Method not found\n"
                  "  Cause: exists returning fw.Buffer",
                  "testsuite name=Input Results tests=1 failures=1 errors=0 skipped=0",
                  "testcase classname=Input Results name=Input x.jar read test",
                  "failure message=component classpath entry x.jar: not found in /tmp type=FAIL",
                  "text: Input x.jar read test: FAIL\n"
                  "  Test if the component classpath entry x.jar was read.\n"
                  "  ERROR: not found in /tmp" }));
}

TEST(JUnitReport, InspectionsAloneSkipACaseAndControlCharactersStayWellFormed)
{
    FindingTree tree;
    tree.add({ "Access Results", QString("bad\x01name") },
             "Method open native test",
             "Access to method open (I)I in class x.Native was requested. Checking if method is "
             "native.",
             R_INSPECT,
             QString("native \x1b[31m"));
    tree.add({ "Access Results", "clean" },
             "Class java.lang.reflect.Method reflection "
             "informational test",
             "",
             R_PASS,
             "reflection");
    const QStringList xml = readBack(JUnitReport::toXml(*tree.root));
    EXPECT_TRUE(
        xml.contains("testsuite name=Access Results tests=2 failures=0 errors=0 skipped=1"));
    EXPECT_TRUE(xml.contains(QString("testcase classname=bad%1name name=access test")
                                 .arg(QChar(QChar::ReplacementCharacter))));
    EXPECT_TRUE(xml.contains("skipped message=native method int x.Native.open(int): inspection "
                             "required"));
    EXPECT_TRUE(xml.contains("testcase classname=clean name=access test"));
}
