#pragma once

#include "base/UnreadInputs.h"

#include "TestResult.pb.h"

#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

/// The group "Input Results": one failed result per input that a run could not read, so that a
/// component whose classes or reference were never read cannot pass for a conforming one. It
/// comes after the tests' own groups and only when there is something in it, so the tree of a
/// run that read everything is what it always was.
class InputResults
{
public:
    static const char *const groupName;
    /// The role of the gold file a user names for the TSS interface.
    static const char *const tssGoldRole;

    /// Says in the results' texts what these entries are ("component classpath entry"); the
    /// first role given to an entry is the one used.
    void addRole(const QStringList &entries, const QString &role);
    /// Marks the entries as the reference data; whereLookedFor is said under each that is missing.
    void addReferenceData(const QStringList &entries, const QString &whereLookedFor);
    /// Marks the TSS gold file the user named, and records it as not read when there is none.
    void addTssGold(const QString &tssGold);

    /// Appends the group with a result per input to root; nothing when inputs is empty.
    void append(TestResultGroup &root, const QList<UnreadInputs::Input> &inputs) const;
    /// Notes on root what was left unchecked on purpose; results are not touched.
    static void noteUnchecked(TestResultGroup &root, const QList<UnreadInputs::Unchecked> &entries);
    /// What root notes as left unchecked, a line each: "12 entries of x.jar: why".
    static QStringList uncheckedLines(const TestResultGroup &root);

    /// One result of the group in lines: what was not read and why, then any further reasons.
    static QStringList toLines(const TestResult &result);
    /// Whether a result of the group stands for a test cut short rather than a file.
    static bool isInterruption(const TestResult &result);
    /// Whether a result of the group stands for a gold file the component is checked against:
    /// without it, any failure may be only for want of it.
    static bool isGoldFile(const TestResult &result);

private:
    void appendUnread(TestResultGroup &group, const UnreadInputs::Input &input) const;
    QString roleOf(const QString &entry) const;

    QList<QPair<QString, QString>> roles; // entry, role; in the order given
    QStringList referenceData;
    QString whereReferenceDataIsLookedFor;
};
