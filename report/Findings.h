#pragma once

#include "TestResult.pb.h"
#include "base/AcceptedFindings.h"
#include "classfile/DependencyOrigins.h"

#include <QHash>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

/// What a run found, read from its result tree: how many results came out PASS, FAIL and
/// INSPECT, each distinct finding once with the classes it affects, the inputs that were not
/// read, and the verdict. A finding is what the results of several classes share: a class
/// missing from the allowed APIs is one finding however many classes and references use it.
/// The console summary and the JUnit report are built on it.
class Findings
{
public:
    struct Finding
    {
        /// The tree's top group it comes from: "Interface Results" or "Access Results".
        QString section;
        /// R_FAIL or R_INSPECT.
        TestScore score = R_FAIL;
        /// What was found, the same for every class it affects: "sun.misc.Unsafe not found".
        QString text;
        /// Why, where the tests could tell (the result's cause); empty otherwise.
        QString cause;
        /// A class-file version a Java 8 runtime refuses: the classes are this finding, and it
        /// leads the others.
        bool classFileVersion = false;
        /// The component classes (access test) or reference classes (interface test) it
        /// affects, each once, in the order met.
        QStringList classes;
        /// Where each of the classes, at the same position, makes it (access test): its methods
        /// with their source lines, or places outside code; the first few places of a class, and
        /// how many further uses it has. Empty places for the interface test.
        QList<DependencyOrigins> origins;
        /// For a finding the integrator accepted: the entry's reason; empty otherwise.
        QString acceptedReason;
        /// The classpath entry each of the classes, at the same position, was read from (access
        /// test): a component of several jars may hold a class in more than one.
        QStringList entries;

        /// The class at i as a reader looks it up: "vendor.A (lib/a.jar)", or only its name
        /// where it was read from no entry (a reference class).
        QString classText(int i) const;
    };

    enum Verdict { V_CONFORMS, V_DOES_NOT_CONFORM, V_INCOMPLETE };

    /// Results that an entry of accepted matches, in the classes it names, are accepted findings:
    /// they count neither as failures nor as inspections. An input not read is never accepted.
    explicit Findings(const TestResultGroup &root,
                      const AcceptedFindings &accepted = AcceptedFindings());

    /// Results with this score in the whole tree, the inputs not read included.
    int count(TestScore score) const;
    /// What the PASS results are: "interface checks", "reflection notes", or how many of each
    /// ("61 interface checks, 179 reflection notes"); empty without any.
    QString getPassKinds() const;
    /// The counts in one line, with what the PASS results are and how many were accepted: "179
    /// PASS (reflection notes), 42 FAIL, 0 INSPECT (3 accepted)".
    QString getCountsText() const;
    /// The classes the tests checked, one per class group of the tree: "7 of the reference
    /// interface, 2040 of the component"; "none".
    QString getClassesCheckedText() const;
    /// Class files too new first, then most affected classes first; among equals FAIL before
    /// INSPECT, then in tree order.
    const QList<Finding> &getFindings() const { return findings; }
    /// The findings an entry of the accepted findings matched, in the same order, each with the
    /// entry's reason; a finding accepted in some of its classes only is here with those.
    const QList<Finding> &getAcceptedFindings() const { return acceptedFindings; }
    /// Results accepted, of any score.
    int getAcceptedCount() const { return acceptedResults; }
    /// The entries of the accepted findings that matched no result: "FILE:LINE: text".
    const QStringList &getUnusedAccepted() const { return unusedAccepted; }
    /// Each input that was not read, or test cut short, in lines: what it was and why, then any
    /// further reasons.
    const QList<QStringList> &getUnreadInputs() const { return unreadInputs; }
    /// What the run left unchecked on purpose, a line each: "12 entries of x.jar: why".
    const QStringList &getUnchecked() const { return unchecked; }
    /// Dotted names of the classes the access test found nowhere, each once, in the order met.
    const QStringList &getMissingClasses() const { return missingClasses; }

    /// Gold files the component is checked against that were not read: the reference data or
    /// the TSS gold file.
    int getGoldFilesNotRead() const { return goldFilesNotRead; }

    Verdict getVerdict() const;
    /// The verdict and its reason in one line: "does not conform: 42 results failed ...".
    QString getVerdictLine() const;

    /// The finding text of one result, as getFindings() shows it; empty for a result that is no
    /// finding (a PASS). className is the class group the result belongs to.
    static QString
    textOf(const QString &section, const QString &className, const TestResult &result);

private:
    void readResult(const QString &section,
                    const QString &className,
                    const TestResult &result,
                    const AcceptedFindings &accepted);
    void noteUnusedAccepted(const AcceptedFindings &accepted);
    static void addOrigins(DependencyOrigins &origins, const TestResult &result);
    void noteMissingClass(const QString &section, const TestResult &result);
    void sortFindings();
    void addEntries(const QHash<QString, QString> &entryOf);
    QString notReadText() const;
    QString failingText() const;
    QString acceptedText() const;

    QHash<int, int> counts; // score -> number of results
    QHash<QString, int> passes; // top group -> its PASS results
    QHash<QString, int> classesChecked; // top group -> its class groups
    int testFailures = 0; // FAIL results outside the inputs not read, none accepted
    int openInspections = 0; // INSPECT results not accepted
    int acceptedResults = 0;
    QList<Finding> findings; // while reading, the accepted ones too
    QList<Finding> acceptedFindings;
    QSet<int> usedEntries; // of the accepted findings, while reading
    QStringList unusedAccepted;
    // section, score, text, cause and accepting entry -> index in findings
    QHash<QString, int> findingIndex;
    QList<QHash<QString, int>> classesOf; // class -> position, for each finding, while reading
    QList<QStringList> unreadInputs;
    QStringList unchecked;
    int interruptions = 0;
    int goldFilesNotRead = 0;
    QStringList missingClasses;
    QSet<QString> missingClassSet;
};
