#include "conformance/Tests.h"

#include "base/DataDirectory.h"
#include "base/ExitStatus.h"
#include "base/Logger.h"
#include "base/Options.h"
#include "base/UnreadInputs.h"
#include "conformance/FrameworkHint.h"
#include "conformance/InterfaceTest.h"
#include "conformance/UoPTest.h"
#include "report/ConsoleSummary.h"
#include "report/Findings.h"
#include "report/InputResults.h"
#include "report/JUnitReport.h"
#include "report/RUtil.h"
#include "report/Results.h"
#include "report/ResultsPage.h"
#include "report/RunOutputs.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>

#include <functional>
#include <memory>

namespace {
/// The seven reference gold files, in the data directory of the options ("data" in the working
/// directory unless another was named or found).
struct ReferenceData
{
    QString file(const char *name) const
    {
        return Options::opts->dataDir + "/" + name + ".javagold";
    }

    const QString j2se8 = file("j2se8");
    const QString j2ee8 = file("j2ee8");
    const QString dravCommon = file("DRAV_common");
    const QString formerlyCorba = file("FormerlyCORBA");
    const QString ios = file("IOS");
    const QString tssTypeIndependent = file("TSS_type_independent");
    const QString tssTypeAbstraction = file("TSS_type_abstraction");

    QStringList all() const
    {
        return {
            j2se8, j2ee8, dravCommon, formerlyCorba, ios, tssTypeIndependent, tssTypeAbstraction
        };
    }
};

// Every classpath of a recipe that holds the Java APIs starts with J2EE 8, but only under the
// General Purpose profile, followed by J2SE 8.
Classpath javaApis(const ReferenceData &data)
{
    Classpath classpath;
    if (Options::opts->profile == Options::P_GENERAL)
        classpath.append(data.j2ee8);
    classpath.append(data.j2se8);
    return classpath;
}

Classpath classpathOf(std::initializer_list<QString> entries)
{
    Classpath classpath;
    for (const QString &entry : entries)
        classpath.append(entry);
    return classpath;
}

/// What a recipe was given, for the texts of the inputs it could not read and for the summary.
struct Inputs
{
    QString title; // "TSS test"
    const Classpath &test;
    const Classpath &framework;
    QString tssGold;
    const Tests::OutcomeHandler &onOutcome;
    bool usesTssGold = false;
};

// Said under a reference data file that is missing.
QString whereDataIsLookedFor()
{
    const QString dataDir = Options::opts->dataDir;
    if (dataDir != "data")
        return QString("Reference data is read from %1, the directory --datadir names.")
            .arg(QFileInfo(dataDir).absoluteFilePath());
    return QString("Reference data is read from data/ in the working directory %1, else from the "
                   "installation's %2: start the tester in the directory that holds data/, or "
                   "name the directory with --datadir.")
        .arg(QDir::currentPath(), DataDirectory::installed());
}

void appendInputResults(TestResultGroup &root, const Inputs &inputs, const UnreadInputs &unread)
{
    InputResults inputResults;
    inputResults.addRole(inputs.test, "component classpath entry");
    inputResults.addRole(inputs.framework, "framework classpath entry");
    if (inputs.usesTssGold)
        inputResults.addTssGold(inputs.tssGold);
    inputResults.addReferenceData(ReferenceData().all(), whereDataIsLookedFor());
    inputResults.append(root, unread.getInputs());
    InputResults::noteUnchecked(root, unread.getUnchecked());
}

// Empty unless the classes found nowhere point at a framework classpath left out.
QString frameworkHint(const Findings &findings,
                      const Inputs &inputs,
                      const Classpath &allowed,
                      const UnreadInputs &unread,
                      const QString &profile)
{
    // A gold file not read leaves out packages that the run would then call nobody's.
    if (findings.getGoldFilesNotRead() > 0)
        return QString();
    QSet<QString> notRead;
    for (const UnreadInputs::Input &input : unread.getInputs())
        notRead.insert(input.entry);
    Classpath access = allowed;
    access.append(inputs.test);
    FrameworkHint::LeftOut leftOut { {}, profile };
    if (Options::opts->profile != Options::P_GENERAL)
        leftOut.gold.append(ReferenceData().j2ee8);
    const FrameworkHint hint(findings.getMissingClasses(), access, notRead, leftOut);
    return hint.applies() ? hint.getText() : QString();
}

int verdictStatus(const Findings &findings)
{
    switch (findings.getVerdict()) {
    case Findings::V_DOES_NOT_CONFORM:
        return ExitStatus::DOES_NOT_CONFORM;
    case Findings::V_INCOMPLETE:
        // Both are incomplete in words; a script must tell what a person can settle from what
        // was never read.
        return findings.getUnreadInputs().isEmpty() ? ExitStatus::NEEDS_INSPECTION
                                                    : ExitStatus::INCOMPLETE;
    case Findings::V_CONFORMS:
        break;
    }
    return 0;
}

// Inputs the tests could not read become results; then the tree is stored, written as JUnit XML
// and as a page beside results.txt, summed up on the console and handed to whoever started the run.
void report(TestResultGroup &root,
            const Inputs &inputs,
            const Classpath &gold,
            const Classpath &allowed,
            const UnreadInputs &unread,
            RunOutputs &outputs)
{
    appendInputResults(root, inputs, unread);
    store(root, outputs.text);
    const AcceptedFindings &accepted = Options::opts->accepted;
    const Findings findings(root, accepted);
    for (const QString &entry : findings.getUnusedAccepted())
        logLine(Logger::L_WARN, "Accepted finding matches nothing: " + entry);
    const RunDescription run
        = RunDescription::current(inputs.title, inputs.test, inputs.framework, gold + allowed);
    outputs.junit.write(JUnitReport::toXml(root, findings, run, accepted));
    outputs.page.write(ResultsPage::toHtml(root, findings, run));
    const QString hint = frameworkHint(findings, inputs, allowed, unread, run.profile);
    const QList<RunOutputs::File> files = outputs.getFiles();
    ConsoleSummary(run, findings, hint, files, Options::opts->dataDir).print();
    ExitStatus::verdictReached(verdictStatus(findings));
    if (inputs.onOutcome)
        inputs.onOutcome({ inputs.title, findings, hint, files });
}

// Owns the tree from creation to report; the tree is reported even when a test lets an
// exception escape, which then goes on to the worker.
int run(const Inputs &inputs,
        const Classpath &gold,
        const Classpath &allowed,
        const std::function<void(TestResultGroup *root)> &tests)
{
    RunOutputs outputs(Options::opts->logDir);
    logLine(Logger::L_INFO,
            "Reference data: " + QFileInfo(Options::opts->dataDir).absoluteFilePath());
    std::unique_ptr<TestResultGroup> root(createResultsTreeRootNode());
    const UnreadInputs unread;
    // The window hands on an empty classpath field as it stands: a run given no component read
    // none of it and must not pass for a conforming one.
    if (inputs.test.isEmpty())
        UnreadInputs::record("component classpath", "no jar or directory was given");
    try {
        tests(root.get());
    } catch (...) {
        report(*root, inputs, gold, allowed, unread, outputs);
        throw;
    }
    report(*root, inputs, gold, allowed, unread, outputs);
    return 0;
}

int interfaceOnly(const Inputs &inputs, const Classpath &gold)
{
    return run(inputs, gold, Classpath(), [&](TestResultGroup *root) {
        InterfaceTest(root, inputs.test, gold).runTest();
    });
}

int interfaceThenAccess(const Inputs &inputs, const Classpath &gold, const Classpath &allowed)
{
    return run(inputs, gold, allowed, [&](TestResultGroup *root) {
        InterfaceTest(root, inputs.test, gold, allowed).runTest();
    });
}

int accessOnly(const Inputs &inputs, const Classpath &allowed)
{
    return run(inputs, Classpath(), allowed, [&](TestResultGroup *root) {
        UoPTest(root, inputs.test, allowed).runTest();
    });
}

// [j2ee8], j2se8, DRAV_common, FormerlyCORBA: the head of most allowed classpaths.
Classpath commonApis(const ReferenceData &data)
{
    Classpath classpath = javaApis(data);
    classpath.append(data.dravCommon);
    classpath.append(data.formerlyCorba);
    return classpath;
}
} // namespace

namespace Tests {

int oss(const Classpath &test, const OutcomeHandler &onOutcome)
{
    return interfaceOnly({ "OSS test", test, Classpath(), QString(), onOutcome },
                         javaApis(ReferenceData()));
}

int tss(const Classpath &test,
        const QString &tssGold,
        const Classpath &framework,
        const OutcomeHandler &onOutcome)
{
    const ReferenceData data;
    Classpath allowed = commonApis(data);
    allowed.append(test);
    allowed.append(framework);
    return interfaceThenAccess({ "TSS test", test, framework, tssGold, onOutcome, true },
                               classpathOf({ data.tssTypeIndependent, tssGold }),
                               allowed);
}

int tssabs(const Classpath &test,
           const QString &tssGold,
           const Classpath &framework,
           const OutcomeHandler &onOutcome)
{
    const ReferenceData data;
    Classpath allowed = commonApis(data);
    allowed.append(data.tssTypeAbstraction);
    allowed.append(test);
    allowed.append(framework);
    return interfaceThenAccess(
        { "TSS with Type Abstraction test", test, framework, tssGold, onOutcome, true },
        classpathOf({ data.tssTypeIndependent, tssGold }),
        allowed);
}

int tssabsiface(const Classpath &test, const Classpath &framework, const OutcomeHandler &onOutcome)
{
    const ReferenceData data;
    Classpath allowed = commonApis(data);
    allowed.append(test);
    allowed.append(framework);
    return interfaceThenAccess(
        { "TSS Abstraction Interface test", test, framework, QString(), onOutcome },
        classpathOf({ data.tssTypeIndependent, data.tssTypeAbstraction }),
        allowed);
}

int ios(const Classpath &test, const Classpath &framework, const OutcomeHandler &onOutcome)
{
    const ReferenceData data;
    Classpath allowed = commonApis(data);
    allowed.append(test);
    allowed.append(framework);
    return interfaceThenAccess(
        { "IOS test", test, framework, QString(), onOutcome }, classpathOf({ data.ios }), allowed);
}

int pss(const Classpath &test,
        const QString &tssGold,
        const Classpath &framework,
        const OutcomeHandler &onOutcome)
{
    const ReferenceData data;
    Classpath allowed = commonApis(data);
    allowed.append(data.ios);
    allowed.append(data.tssTypeIndependent);
    allowed.append(tssGold);
    allowed.append(framework);
    return accessOnly({ "PSS test", test, framework, tssGold, onOutcome, true }, allowed);
}

int pcs(const Classpath &test,
        const QString &tssGold,
        const Classpath &framework,
        const OutcomeHandler &onOutcome)
{
    // PCS sees IOS right after the Java APIs, ahead of the common files: the first definition wins.
    const ReferenceData data;
    Classpath allowed = javaApis(data);
    allowed.append(data.ios);
    allowed.append(data.dravCommon);
    allowed.append(data.formerlyCorba);
    allowed.append(data.tssTypeIndependent);
    allowed.append(tssGold);
    allowed.append(framework);
    return accessOnly({ "PCS test", test, framework, tssGold, onOutcome, true }, allowed);
}

} // namespace Tests
