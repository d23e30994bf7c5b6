#include "report/Findings.h"

#include "classfile/MethodSignature.h"
#include "report/InputResults.h"
#include "report/Results.h"

#include <QRegExp>

#include <algorithm>
#include <iterator>

namespace {

const QString interfaceSection = "Interface Results";
const QString accessSection = "Access Results";
const QString versionCheck = "Java version 8 test";

QStringList linesOf(const TestResult &result)
{
    QStringList lines;
    for (const LogEntry &entry : result.logs())
        lines << fromTree(entry.text());
    return lines;
}

// "java.nio.ByteBuffer java.nio.ByteBuffer.flip()": the method as Java source would declare it.
QString methodLabel(const QString &owner, const QString &name, const QString &descriptor)
{
    const MethodSignature signature(descriptor);
    return QString("%1 %2.%3(%4)")
        .arg(signature.getReturnType().toString(), owner, name, signature.getParameterString());
}

QString memberText(const QString &kind, const QString &member, const QString &check)
{
    if (check == "existence")
        return QString("%1 %2 not found").arg(kind, member);
    if (check == "permission")
        return QString("%1 %2 not accessible").arg(kind, member);
    if (check == "linkage")
        return QString("%1 %2 does not link").arg(kind, member);
    if (check == "receiver")
        return QString("protected %1 %2 used on an object of another class").arg(kind, member);
    if (check == "native")
        return QString("native method %1: inspection required").arg(member);
    if (check == "JNI")
        return QString("JNI call %1: inspection required").arg(member);
    return QString("signature polymorphic call %1: inspection required").arg(member);
}

// The access test's texts name the referenced class, field or method but never the class that
// refers to it, so what they name is the finding.
QString accessText(const QString &name, const QString &description)
{
    static const QRegExp classCheck("^Class (\\S+) (existence|access|linkage) test$");
    static const QRegExp memberCheck("^(Field|Method) \\S+ "
                                     "(existence|permission|linkage|receiver|native|JNI|signature "
                                     "polymorphic) test$");
    static const QRegExp fieldRequest(
        "^Access to field (\\S+) in class (\\S+) was requested\\. .*");
    // A call names the method it asks for; a native method's own class declares it.
    static const QRegExp methodRequest("^(?:Access to method|Method) (\\S+) (\\S+) in class "
                                       "(\\S+) (?:was requested|is declared native)\\. .*");
    QRegExp cls(classCheck), member(memberCheck), field(fieldRequest), method(methodRequest);
    if (name == versionCheck)
        return "class file version newer than Java 8";
    if (cls.exactMatch(name)) {
        if (cls.cap(2) == "existence")
            return QString("%1 not found").arg(cls.cap(1));
        return memberText("class", cls.cap(1), cls.cap(2) == "access" ? "permission" : "linkage");
    }
    if (!member.exactMatch(name))
        return QString();
    if (member.cap(1) == "Field" && field.exactMatch(description))
        return memberText("field", field.cap(2) + "." + field.cap(1), member.cap(2));
    if (member.cap(1) == "Method" && method.exactMatch(description)) {
        return memberText(
            "method", methodLabel(method.cap(3), method.cap(1), method.cap(2)), member.cap(2));
    }
    return QString();
}

QString interfaceText(const QString &className, const QString &name, const QStringList &lines)
{
    static const QRegExp existence("^Class \\S+ existence test$");
    // The existence line already names the class.
    if (QRegExp(existence).exactMatch(name) && !lines.isEmpty())
        return lines.first();
    QString check = name;
    if (check.endsWith(" test"))
        check.chop(5);
    return QString("%1: %2 - %3").arg(className, check, lines.join(" "));
}

} // namespace

Findings::Findings(const TestResultGroup &root, const AcceptedFindings &accepted)
    : unchecked(InputResults::uncheckedLines(root))
{
    // Iterative and in tree order: a group's results, then its subgroups.
    struct Visit
    {
        const TestResultGroup *group;
        int depth;
        QString section;
        QString className;
    };
    QList<Visit> stack { { &root, 0, QString(), QString() } };
    QHash<QString, QString> entryOf; // component class -> its classpath entry
    while (!stack.isEmpty()) {
        const Visit visit = stack.takeLast();
        const QString name = fromTree(visit.group->name());
        const QString section = visit.depth == 1 ? name : visit.section;
        const QString className = visit.depth == 2 ? name : visit.className;
        if (visit.depth == 2) {
            ++classesChecked[section];
            if (section == accessSection && visit.group->has_entry())
                entryOf.insert(className, fromTree(visit.group->entry()));
        }
        for (const TestResult &result : visit.group->results())
            readResult(section, className, result, accepted);
        const auto &subgroups = visit.group->subgroup();
        for (int i = subgroups.size() - 1; i >= 0; --i)
            stack.append({ &subgroups.Get(i), visit.depth + 1, section, className });
    }
    addEntries(entryOf);
    sortFindings();
    noteUnusedAccepted(accepted);
}

// An entry that no longer matches anything would accept a finding nobody has looked at yet, once
// one with the same text comes back.
void Findings::noteUnusedAccepted(const AcceptedFindings &accepted)
{
    for (int i = 0; i < accepted.getEntries().size(); ++i) {
        if (!usedEntries.contains(i))
            unusedAccepted << accepted.placeOf(i) + ": " + accepted.getEntries().at(i).text;
    }
    usedEntries.clear();
}

void Findings::addEntries(const QHash<QString, QString> &entryOf)
{
    for (Finding &finding : findings) {
        if (finding.section != accessSection)
            continue;
        for (const QString &className : finding.classes)
            finding.entries << entryOf.value(className);
    }
}

QString Findings::Finding::classText(int i) const
{
    const QString entry = entries.value(i);
    return entry.isEmpty() ? classes.at(i) : QString("%1 (%2)").arg(classes.at(i), entry);
}

void Findings::sortFindings()
{
    // classesOf is only needed while reading.
    classesOf.clear();
    std::stable_sort(findings.begin(), findings.end(), [](const Finding &a, const Finding &b) {
        // A runtime that refuses a class file never gets to what the class uses.
        if (a.classFileVersion != b.classFileVersion)
            return a.classFileVersion;
        if (a.classes.size() != b.classes.size())
            return a.classes.size() > b.classes.size();
        return a.score == R_FAIL && b.score != R_FAIL;
    });
    const auto open = std::stable_partition(findings.begin(), findings.end(), [](const Finding &f) {
        return f.acceptedReason.isEmpty();
    });
    std::move(open, findings.end(), std::back_inserter(acceptedFindings));
    findings.erase(open, findings.end());
}

void Findings::readResult(const QString &section,
                          const QString &className,
                          const TestResult &result,
                          const AcceptedFindings &accepted)
{
    ++counts[result.score()];
    if (result.score() == R_PASS)
        ++passes[section];
    if (section == InputResults::groupName) {
        unreadInputs << InputResults::toLines(result);
        if (InputResults::isInterruption(result))
            ++interruptions;
        if (InputResults::isGoldFile(result))
            ++goldFilesNotRead;
        return;
    }
    const QString text = textOf(section, className, result);
    const int entry = text.isEmpty() ? -1 : accepted.match(text, className);
    if (entry >= 0) {
        ++acceptedResults;
        usedEntries.insert(entry);
    } else if (result.score() == R_FAIL) {
        ++testFailures;
    } else if (result.score() == R_INSPECT) {
        ++openInspections;
    }
    if (text.isEmpty())
        return;
    // A class accepted as missing points at no framework left out.
    if (entry < 0)
        noteMissingClass(section, result);
    const QString cause = fromTree(result.cause());
    const QString key = QStringList { section,
                                      QString::number(result.score()),
                                      text,
                                      cause,
                                      QString::number(entry) }
                            .join(QChar(0));
    auto known = findingIndex.constFind(key);
    if (known == findingIndex.constEnd()) {
        known = findingIndex.insert(key, findings.size());
        const bool version = fromTree(result.name()) == versionCheck;
        const QString reason = entry >= 0 ? accepted.getEntries().at(entry).reason : QString();
        findings.append(
            Finding { section, result.score(), text, cause, version, {}, {}, reason, {} });
        classesOf.append(QHash<QString, int>());
    }
    const int index = known.value();
    if (className.isEmpty())
        return;
    Finding &finding = findings[index];
    auto position = classesOf[index].constFind(className);
    if (position == classesOf[index].constEnd()) {
        position = classesOf[index].insert(className, finding.classes.size());
        finding.classes << className;
        finding.origins << DependencyOrigins();
    }
    addOrigins(finding.origins[position.value()], result);
}

void Findings::addOrigins(DependencyOrigins &origins, const TestResult &result)
{
    for (const Origin &origin : result.origins()) {
        origins.add({ DependencyOrigins::placeOf(fromTree(origin.place())),
                      fromTree(origin.member()),
                      origin.line() });
    }
    origins.addMore(result.more_origins());
}

void Findings::noteMissingClass(const QString &section, const TestResult &result)
{
    static const QRegExp existence("^Class (\\S+) existence test$");
    QRegExp match(existence);
    if (section == interfaceSection || result.score() != R_FAIL
        || !match.exactMatch(fromTree(result.name())))
        return;
    if (!missingClassSet.contains(match.cap(1))) {
        missingClassSet.insert(match.cap(1));
        missingClasses << match.cap(1);
    }
}

int Findings::count(TestScore score) const
{
    return counts.value(score);
}

Findings::Verdict Findings::getVerdict() const
{
    // Without a gold file the component is checked against, a failure may be only for want of
    // it: such a run proves nothing either way.
    if (testFailures > 0 && goldFilesNotRead == 0)
        return V_DOES_NOT_CONFORM;
    if (!unreadInputs.isEmpty() || openInspections > 0)
        return V_INCOMPLETE;
    return V_CONFORMS;
}

QString Findings::getVerdictLine() const
{
    switch (getVerdict()) {
    case V_DOES_NOT_CONFORM: {
        QString line = QString("does not conform - %1 failed (%2)")
                           .arg(countOf(testFailures, "result", "results"), failingText());
        if (openInspections > 0)
            line += QString(", %1 inspection").arg(countOf(openInspections, "needs", "need"));
        if (!unreadInputs.isEmpty())
            line += ", and " + notReadText();
        return line + acceptedText();
    }
    case V_INCOMPLETE:
        if (testFailures > 0) {
            return QString("incomplete - %1, so part of the component or of what it is checked "
                           "against was never checked; %2 failed (%3), perhaps only because a "
                           "gold file was not read")
                       .arg(
                           notReadText(), countOf(testFailures, "result", "results"), failingText())
                + acceptedText();
        }
        if (!unreadInputs.isEmpty()) {
            return QString("incomplete - %1, so part of the component or of what it is checked "
                           "against was never checked")
                       .arg(notReadText())
                + acceptedText();
        }
        return QString("incomplete - %1 a person's inspection (INSPECT, printed UNKNOWN in "
                       "results.txt); nothing failed")
                   .arg(countOf(openInspections, "result needs", "results need"))
            + acceptedText();
    case V_CONFORMS:
        break;
    }
    if (!acceptedFindings.isEmpty())
        return "conforms - " + countOf(acceptedFindings.size(), "finding", "findings")
            + " accepted";
    return "conforms - no result failed and none needs inspection";
}

QString Findings::getPassKinds() const
{
    // A PASS is a check of the interface test but only a note of the access test, which reports
    // what it allows only where reflection is used: neither counts classes.
    const int checks = passes.value(interfaceSection);
    const int notes = passes.value(accessSection);
    if (checks > 0 && notes > 0) {
        return QString("%1, %2").arg(countOf(checks, "interface check", "interface checks"),
                                     countOf(notes, "reflection note", "reflection notes"));
    }
    if (checks > 0)
        return "interface checks";
    return notes > 0 ? "reflection notes" : QString();
}

QString Findings::getCountsText() const
{
    const QString kinds = getPassKinds();
    return QString("%1 PASS%2, %3 FAIL, %4 INSPECT%5")
        .arg(count(R_PASS))
        .arg(kinds.isEmpty() ? QString() : QString(" (%1)").arg(kinds))
        .arg(count(R_FAIL))
        .arg(count(R_INSPECT))
        .arg(acceptedResults > 0 ? QString(" (%1 accepted)").arg(acceptedResults) : QString());
}

QString Findings::getClassesCheckedText() const
{
    QStringList parts;
    if (classesChecked.contains(interfaceSection)) {
        parts
            << QString("%1 of the reference interface").arg(classesChecked.value(interfaceSection));
    }
    if (classesChecked.contains(accessSection))
        parts << QString("%1 of the component").arg(classesChecked.value(accessSection));
    return parts.isEmpty() ? QStringLiteral("none") : parts.join(", ");
}

QString Findings::failingText() const
{
    const int failing = int(std::count_if(
        findings.cbegin(), findings.cend(), [](const Finding &f) { return f.score == R_FAIL; }));
    return countOf(failing, "distinct finding", "distinct findings");
}

QString Findings::acceptedText() const
{
    if (acceptedFindings.isEmpty())
        return QString();
    return "; " + countOf(acceptedFindings.size(), "finding", "findings") + " accepted";
}

QString Findings::notReadText() const
{
    const int files = unreadInputs.size() - interruptions;
    QStringList parts;
    if (files > 0)
        parts << countOf(files, "input", "inputs") + " not read";
    if (interruptions > 0)
        parts << countOf(interruptions, "test", "tests") + " interrupted";
    return parts.join(" and ");
}

QString Findings::textOf(const QString &section, const QString &className, const TestResult &result)
{
    if (result.score() == R_PASS)
        return QString();
    const QString name = fromTree(result.name());
    const QStringList lines = linesOf(result);
    QString text;
    if (section == InputResults::groupName)
        return InputResults::toLines(result).join(" ");
    if (section == interfaceSection)
        text = interfaceText(className, name, lines);
    else
        text = accessText(name, fromTree(result.description()));
    return text.isEmpty() ? QString("%1: %2").arg(name, lines.join(" ")) : text;
}
