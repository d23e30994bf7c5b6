#include "report/JUnitReport.h"

#include "base/PrintableText.h"
#include "report/Findings.h"
#include "report/InputResults.h"
#include "report/Results.h"

#include <QList>
#include <QStringList>
#include <QXmlStreamWriter>

#include <algorithm>
#include <functional>

namespace {

// A text of the tree, escaped as every other output escapes it: a name read from a class file can
// neither start a line of its own in the failure text nor reorder what a reader sees.
QString shown(const std::string &text)
{
    return PrintableText::escape(fromTree(text));
}

// XML 1.0 cannot carry most control characters; what the escaping leaves of them (the
// noncharacters) becomes the replacement character.
QString xmlText(const QString &text)
{
    QString clean = text;
    for (QChar &c : clean) {
        const ushort u = c.unicode();
        if ((u < 0x20 && u != '\t' && u != '\n' && u != '\r') || u == 0xFFFE || u == 0xFFFF)
            c = QChar::ReplacementCharacter;
    }
    return clean;
}

// "Interface Results" -> "interface test"
QString testName(const QString &section)
{
    QString name = section.toLower();
    if (name.endsWith(" results"))
        name = name.left(name.size() - 8) + " test";
    return name;
}

/// One FAIL or INSPECT result of a test case.
struct Finding
{
    TestScore score;
    QString summary; // the finding with its cause, one line
    QString text; // the result as results.txt shows it, and its cause
    QString acceptedReason; // empty unless the integrator accepted it
};

/// A test case: a class group, or one result directly in a top group.
struct Case
{
    QString className;
    QString name;
    QList<Finding> findings; // in tree order
    QString file; // the classpath entry a component class was read from

    /// Results of the score that nobody accepted.
    int count(TestScore score) const
    {
        return int(std::count_if(findings.cbegin(), findings.cend(), [score](const Finding &f) {
            return f.score == score && f.acceptedReason.isEmpty();
        }));
    }
};

/// What the results of one section are read with: the accepted findings, none for the inputs
/// not read, which can never be accepted.
struct Reading
{
    QString section;
    const AcceptedFindings &accepted;
};

Finding findingOf(const Reading &reading,
                  const QString &className,
                  const QString &path,
                  const TestResult &result)
{
    const QString cause = shown(result.cause());
    const QString finding = Findings::textOf(reading.section, className, result);
    const int entry = reading.accepted.match(finding, className);
    const QString reason = entry >= 0
        ? PrintableText::escape(reading.accepted.getEntries().at(entry).reason)
        : QString();
    QString summary = PrintableText::escape(finding);
    if (!cause.isEmpty())
        summary += ": " + cause;
    QStringList text {
        QString("%1%2: %3")
            .arg(path, shown(result.name()), result.score() == R_FAIL ? "FAIL" : "INSPECT"),
        "  " + shown(result.description())
    };
    for (const LogEntry &entry : result.logs()) {
        text << QString("  %1: %2")
                    .arg(entry.level() == L_ERROR ? "ERROR" : "WARNING", shown(entry.text()));
    }
    if (!cause.isEmpty())
        text << "  Cause: " + cause;
    if (entry >= 0)
        text << QString("  Accepted (%1): %2")
                    .arg(PrintableText::escape(reading.accepted.placeOf(entry)), reason);
    return Finding { result.score(), summary, text.join('\n'), reason };
}

void addFindings(Case &testCase,
                 const Reading &reading,
                 const QString &path,
                 const TestResult &result)
{
    if (result.score() != R_PASS)
        testCase.findings << findingOf(reading, testCase.className, path, result);
}

// Every FAIL and INSPECT result below a class group, with the groups between ("Methods / ").
// Iterative, in tree order.
Case classCase(const Reading &reading, const TestResultGroup &classGroup)
{
    Case testCase {
        fromTree(classGroup.name()), testName(reading.section), {}, fromTree(classGroup.entry())
    };
    QList<QPair<const TestResultGroup *, QString>> stack { { &classGroup, QString() } };
    while (!stack.isEmpty()) {
        const auto visit = stack.takeLast();
        for (const TestResult &result : visit.first->results())
            addFindings(testCase, reading, visit.second, result);
        const auto &subgroups = visit.first->subgroup();
        for (int i = subgroups.size() - 1; i >= 0; --i) {
            const TestResultGroup &subgroup = subgroups.Get(i);
            stack.append({ &subgroup, visit.second + shown(subgroup.name()) + " / " });
        }
    }
    return testCase;
}

QList<Case> casesOf(const TestResultGroup &section, const AcceptedFindings &accepted)
{
    const QString name = fromTree(section.name());
    static const AcceptedFindings none;
    const Reading reading { name, name == InputResults::groupName ? none : accepted };
    QList<Case> cases;
    for (const TestResult &result : section.results()) {
        Case testCase { name, fromTree(result.name()), {}, QString() };
        addFindings(testCase, reading, QString(), result);
        cases << testCase;
    }
    for (const TestResultGroup &classGroup : section.subgroup())
        cases << classCase(reading, classGroup);
    return cases;
}

/// What a case with findings reports: its first failure, else its first inspection, else the
/// reason of its first accepted finding, as a skipped case's message is its reason.
struct Outcome
{
    const char *element;
    QString noun; // "failure", counted in the message
    std::function<bool(const Finding &)> isOfIt;
    std::function<QString(const Finding &)> messageOf;
};

Outcome outcomeOf(const Case &testCase)
{
    const auto summary = [](const Finding &f) { return f.summary; };
    const auto open = [](TestScore score) {
        return [score](const Finding &f) { return f.score == score && f.acceptedReason.isEmpty(); };
    };
    if (testCase.count(R_FAIL) > 0)
        return { "failure", "failure", open(R_FAIL), summary };
    if (testCase.count(R_INSPECT) > 0)
        return { "skipped", "inspection", open(R_INSPECT), summary };
    return { "skipped",
             "accepted result",
             [](const Finding &f) { return !f.acceptedReason.isEmpty(); },
             [](const Finding &f) { return f.acceptedReason; } };
}

// The first finding names the case's problem; the element's text holds them all.
void writeOutcome(QXmlStreamWriter &xml, const Case &testCase)
{
    const Outcome outcome = outcomeOf(testCase);
    QStringList texts;
    QString message;
    int n = 0;
    for (const Finding &finding : testCase.findings) {
        if (outcome.isOfIt(finding) && n++ == 0)
            message = outcome.messageOf(finding);
        texts << finding.text;
    }
    if (n > 1)
        message += QString(" (first of %1 %2s)").arg(n).arg(outcome.noun);
    xml.writeStartElement(outcome.element);
    xml.writeAttribute("message", xmlText(message));
    if (QLatin1String(outcome.element) == "failure")
        xml.writeAttribute("type", "FAIL");
    xml.writeCharacters(xmlText(texts.join("\n\n")));
    xml.writeEndElement();
}

void writeCase(QXmlStreamWriter &xml, const Case &testCase)
{
    xml.writeStartElement("testcase");
    xml.writeAttribute("classname", xmlText(PrintableText::escape(testCase.className)));
    xml.writeAttribute("name", xmlText(PrintableText::escape(testCase.name)));
    // Read by the CI servers that link a case to its file; and a class of one name may be in
    // two jars of the component.
    if (!testCase.file.isEmpty())
        xml.writeAttribute("file", xmlText(PrintableText::escape(testCase.file)));
    if (!testCase.findings.isEmpty())
        writeOutcome(xml, testCase);
    xml.writeEndElement();
}

struct Totals
{
    int tests = 0;
    int failures = 0;
    int skipped = 0;

    void add(const Case &testCase)
    {
        ++tests;
        if (testCase.count(R_FAIL) > 0)
            ++failures;
        else if (!testCase.findings.isEmpty())
            ++skipped;
    }
};

void writeCounts(QXmlStreamWriter &xml, const Totals &totals)
{
    xml.writeAttribute("tests", QString::number(totals.tests));
    xml.writeAttribute("failures", QString::number(totals.failures));
    xml.writeAttribute("errors", "0");
    xml.writeAttribute("skipped", QString::number(totals.skipped));
}

// The properties of every suite: what was tested, and what was left unchecked on purpose, which
// belongs to no test case. A CI server shows a suite's, and a suite may be read alone.
QList<QPair<QString, QString>>
runProperties(const TestResultGroup &root, const Findings &findings, const RunDescription &run)
{
    QList<QPair<QString, QString>> properties {
        { "test", run.title },
        { "profile", run.profile },
        { "component classpath", RunDescription::classpathText(run.classpath) },
        { "framework classpath", RunDescription::classpathText(run.frameworkClasspath) },
    };
    for (const RunDescription::GoldFile &file : run.goldFiles)
        properties.append({ "gold file SHA-256", RunDescription::goldFileText(file) });
    properties << qMakePair(QString("tester version"), run.version)
               << qMakePair(QString("date"), run.date)
               << qMakePair(QString("classes checked"), findings.getClassesCheckedText())
               << qMakePair(QString("command line"), run.commandLine);
    for (const QString &line : InputResults::uncheckedLines(root))
        properties.append({ "not checked", line });
    return properties;
}

void writeProperties(QXmlStreamWriter &xml, const QList<QPair<QString, QString>> &properties)
{
    xml.writeStartElement("properties");
    for (const auto &property : properties) {
        xml.writeStartElement("property");
        xml.writeAttribute("name", property.first);
        xml.writeAttribute("value", xmlText(PrintableText::escape(property.second)));
        xml.writeEndElement();
    }
    xml.writeEndElement();
}

} // namespace

QByteArray JUnitReport::toXml(const TestResultGroup &root,
                              const Findings &findings,
                              const RunDescription &run,
                              const AcceptedFindings &accepted)
{
    const QList<QPair<QString, QString>> properties = runProperties(root, findings, run);
    QList<QPair<QString, QList<Case>>> suites;
    Totals all;
    for (const TestResultGroup &section : root.subgroup()) {
        suites.append({ shown(section.name()), casesOf(section, accepted) });
        for (const Case &testCase : suites.last().second)
            all.add(testCase);
    }

    QByteArray bytes;
    QXmlStreamWriter xml(&bytes);
    xml.setAutoFormatting(true);
    xml.writeStartDocument();
    xml.writeStartElement("testsuites");
    xml.writeAttribute("name", xmlText(shown(root.name())));
    writeCounts(xml, all);
    for (const auto &suite : suites) {
        Totals totals;
        for (const Case &testCase : suite.second)
            totals.add(testCase);
        xml.writeStartElement("testsuite");
        xml.writeAttribute("name", xmlText(suite.first));
        writeCounts(xml, totals);
        writeProperties(xml, properties);
        for (const Case &testCase : suite.second)
            writeCase(xml, testCase);
        xml.writeEndElement();
    }
    xml.writeEndElement();
    xml.writeEndDocument();
    return bytes;
}
