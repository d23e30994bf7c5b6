#include "report/InputResults.h"

#include "report/Results.h"

#include <QFileInfo>
#include <QRegExp>

namespace {
std::string bytes(const QString &text)
{
    return text.toLocal8Bit().toStdString();
}

TestResult &appendFailure(TestResultGroup &group, const QString &name, const QString &description)
{
    TestResult &result = *group.add_results();
    result.set_name(bytes(name));
    result.set_description(bytes(description));
    result.set_score(R_FAIL);
    return result;
}

void appendInterruption(TestResultGroup &group, const UnreadInputs::Input &input)
{
    TestResult &result
        = appendFailure(group,
                        QString("%1 completion test").arg(input.entry),
                        QString("Test if the %1 ran to its end.").arg(input.entry.toLower()));
    error(result.mutable_logs(), input.reason);
    error(result.mutable_logs(), "The classes after the interruption were not tested.");
}
} // namespace

const char *const InputResults::groupName = "Input Results";
const char *const InputResults::tssGoldRole = "TSS gold file";

namespace {
const char *const referenceDataRole = "reference data file";

/// What a result of the group is about, as its description names it: "the TSS gold file x".
QString subjectOf(const TestResult &result)
{
    static const QRegExp subject("^Test if (.+) (?:was read|ran to its end)\\.$");
    QRegExp match(subject);
    const QString description = fromTree(result.description());
    return match.exactMatch(description) ? match.cap(1) : description;
}
} // namespace

void InputResults::addRole(const QStringList &entries, const QString &role)
{
    for (const QString &entry : entries)
        roles.append({ entry, role });
}

void InputResults::addReferenceData(const QStringList &entries, const QString &whereLookedFor)
{
    addRole(entries, referenceDataRole);
    referenceData.append(entries);
    whereReferenceDataIsLookedFor = whereLookedFor;
}

void InputResults::addTssGold(const QString &tssGold)
{
    // The console refuses a run without one; the window's field may be left empty.
    if (tssGold.isEmpty())
        UnreadInputs::record(tssGoldRole, "no gold file was given");
    else
        addRole({ tssGold }, tssGoldRole);
}

void InputResults::append(TestResultGroup &root, const QList<UnreadInputs::Input> &inputs) const
{
    if (inputs.isEmpty())
        return;
    TestResultGroup &group = *root.add_subgroup();
    group.set_name(groupName);
    for (const UnreadInputs::Input &input : inputs) {
        if (input.interruption)
            appendInterruption(group, input);
        else
            appendUnread(group, input);
    }
}

void InputResults::appendUnread(TestResultGroup &group, const UnreadInputs::Input &input) const
{
    const QString role = roleOf(input.entry);
    const QString subject = role.isEmpty() ? input.entry : "the " + role + " " + input.entry;
    TestResult &result = appendFailure(group,
                                       QString("Input %1 read test").arg(input.entry),
                                       QString("Test if %1 was read.").arg(subject));
    error(result.mutable_logs(), input.reason);
    if (QFileInfo::exists(input.entry))
        return;
    // The usual cause: the tester was started somewhere else than beside its data.
    if (referenceData.contains(input.entry))
        error(result.mutable_logs(), whereReferenceDataIsLookedFor);
    // Other tools separate classpath entries with commas.
    else if (input.entry.contains(','))
        error(result.mutable_logs(),
              "Classpath entries are joined with ':', not ',': a.jar:b.jar is two entries.");
}

void InputResults::noteUnchecked(TestResultGroup &root,
                                 const QList<UnreadInputs::Unchecked> &entries)
{
    for (const UnreadInputs::Unchecked &entry : entries) {
        Unchecked &note = *root.add_unchecked();
        note.set_entry(bytes(entry.entry));
        note.set_count(entry.count);
        note.set_reason(bytes(entry.reason));
    }
}

QStringList InputResults::uncheckedLines(const TestResultGroup &root)
{
    QStringList lines;
    for (const Unchecked &note : root.unchecked()) {
        lines << QString("%1 of %2: %3")
                     .arg(countOf(note.count(), "entry", "entries"),
                          fromTree(note.entry()),
                          fromTree(note.reason()));
    }
    return lines;
}

QString InputResults::roleOf(const QString &entry) const
{
    for (const auto &role : roles) {
        if (role.first == entry)
            return role.second;
    }
    return QString();
}

QStringList InputResults::toLines(const TestResult &result)
{
    QString what = subjectOf(result);
    if (what.startsWith("the "))
        what = what.mid(4);
    QStringList lines;
    for (const LogEntry &entry : result.logs())
        lines << fromTree(entry.text());
    if (lines.isEmpty())
        return { what };
    lines.first() = what + ": " + lines.first();
    return lines;
}

bool InputResults::isInterruption(const TestResult &result)
{
    return fromTree(result.name()).endsWith(" completion test");
}

bool InputResults::isGoldFile(const TestResult &result)
{
    const QString subject = subjectOf(result);
    return subject == tssGoldRole || subject.startsWith(QString("the %1 ").arg(tssGoldRole))
        || subject.startsWith(QString("the %1 ").arg(referenceDataRole));
}
