#include "conformance/Tests.h"

#include "app/Options.h"
#include "conformance/ConsoleSummary.h"
#include "conformance/Findings.h"
#include "conformance/FrameworkHint.h"
#include "conformance/InputResults.h"
#include "conformance/InterfaceTest.h"
#include "conformance/JUnitReport.h"
#include "conformance/RUtil.h"
#include "conformance/Results.h"
#include "conformance/ResultsFile.h"
#include "conformance/ResultsPage.h"
#include "conformance/UoPTest.h"
#include "loader/UnreadInputs.h"

#include <QSet>

#include <functional>
#include <memory>

namespace {
const QString J2SE8 = "data/j2se8.javagold";
const QString J2EE8 = "data/j2ee8.javagold";
const QString DRAV_COMMON = "data/DRAV_common.javagold";
const QString FORMERLY_CORBA = "data/FormerlyCORBA.javagold";
const QString IOS = "data/IOS.javagold";
const QString TSS_TYPE_INDEPENDENT = "data/TSS_type_independent.javagold";
const QString TSS_TYPE_ABSTRACTION = "data/TSS_type_abstraction.javagold";

// Every classpath of a recipe that holds the Java APIs starts with J2EE 8, but only under the
// General Purpose profile, followed by J2SE 8.
Classpath javaApis()
{
    Classpath classpath;
    if (Options::opts->profile == Options::P_GENERAL)
        classpath.append(J2EE8);
    classpath.append(J2SE8);
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
};

// The reference data, looked for below the working directory.
const QStringList referenceData {
    J2SE8, J2EE8, DRAV_COMMON, FORMERLY_CORBA, IOS, TSS_TYPE_INDEPENDENT, TSS_TYPE_ABSTRACTION
};

void appendInputResults(TestResultGroup &root, const Inputs &inputs, const UnreadInputs &unread)
{
    InputResults inputResults;
    inputResults.addRole(inputs.test, "component classpath entry");
    inputResults.addRole(inputs.framework, "framework classpath entry");
    if (!inputs.tssGold.isEmpty())
        inputResults.addRole({ inputs.tssGold }, "TSS gold file");
    inputResults.addReferenceData(referenceData);
    inputResults.append(root, unread.getInputs());
}

// Empty unless the classes found nowhere point at a framework classpath left out.
QString frameworkHint(const Findings &findings,
                      const Inputs &inputs,
                      const Classpath &allowed,
                      const UnreadInputs &unread)
{
    QSet<QString> notRead;
    for (const UnreadInputs::Input &input : unread.getInputs())
        notRead.insert(input.entry);
    Classpath access = allowed;
    access.append(inputs.test);
    const FrameworkHint hint(findings.getMissingClasses(), access, notRead);
    return hint.applies() ? hint.getText() : QString();
}

/// The files a run writes, prepared when it starts: the previous run's go, and a log directory
/// that cannot take new ones is said before the test takes its time.
struct Outputs
{
    ResultsFile text { RUtil::resultsPath() };
    ResultsFile junit { Options::opts->logDir + "/results.xml" };
    ResultsFile page { Options::opts->logDir + "/results.html" };
};

// Inputs the tests could not read become results; then the tree is stored, written as JUnit XML
// and as a page beside results.txt, summed up on the console and handed to whoever started the run.
void report(TestResultGroup &root,
            const Inputs &inputs,
            const Classpath &gold,
            const Classpath &allowed,
            const UnreadInputs &unread,
            Outputs &outputs)
{
    appendInputResults(root, inputs, unread);
    store(root, outputs.text);
    outputs.junit.write(JUnitReport::toXml(root));
    const Findings findings(root);
    Classpath references = gold;
    references.append(allowed);
    outputs.page.write(
        ResultsPage::toHtml(root, findings, ResultsPage::currentRun(inputs.title, references)));
    const QString hint = frameworkHint(findings, inputs, allowed, unread);
    ConsoleSummary(inputs.title, findings, hint, Options::opts->logDir).print();
    if (inputs.onOutcome)
        inputs.onOutcome({ inputs.title, findings, hint });
}

// Owns the tree from creation to report; the tree is reported even when a test lets an
// exception escape, which then goes on to the worker.
int run(const Inputs &inputs,
        const Classpath &gold,
        const Classpath &allowed,
        const std::function<void(TestResultGroup *root)> &tests)
{
    Outputs outputs;
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
Classpath commonApis()
{
    Classpath classpath = javaApis();
    classpath.append(DRAV_COMMON);
    classpath.append(FORMERLY_CORBA);
    return classpath;
}
} // namespace

namespace Tests {

int oss(const Classpath &test, const OutcomeHandler &onOutcome)
{
    return interfaceOnly({ "OSS test", test, Classpath(), QString(), onOutcome }, javaApis());
}

int tss(const Classpath &test,
        const QString &tssGold,
        const Classpath &framework,
        const OutcomeHandler &onOutcome)
{
    Classpath allowed = commonApis();
    allowed.append(test);
    allowed.append(framework);
    return interfaceThenAccess({ "TSS test", test, framework, tssGold, onOutcome },
                               classpathOf({ TSS_TYPE_INDEPENDENT, tssGold }),
                               allowed);
}

int tssabs(const Classpath &test,
           const QString &tssGold,
           const Classpath &framework,
           const OutcomeHandler &onOutcome)
{
    Classpath allowed = commonApis();
    allowed.append(TSS_TYPE_ABSTRACTION);
    allowed.append(test);
    allowed.append(framework);
    return interfaceThenAccess(
        { "TSS with Type Abstraction test", test, framework, tssGold, onOutcome },
        classpathOf({ TSS_TYPE_INDEPENDENT, tssGold }),
        allowed);
}

int tssabsiface(const Classpath &test, const Classpath &framework, const OutcomeHandler &onOutcome)
{
    Classpath allowed = commonApis();
    allowed.append(test);
    allowed.append(framework);
    return interfaceThenAccess(
        { "TSS Abstraction Interface test", test, framework, QString(), onOutcome },
        classpathOf({ TSS_TYPE_INDEPENDENT, TSS_TYPE_ABSTRACTION }),
        allowed);
}

int ios(const Classpath &test, const Classpath &framework, const OutcomeHandler &onOutcome)
{
    Classpath allowed = commonApis();
    allowed.append(test);
    allowed.append(framework);
    return interfaceThenAccess(
        { "IOS test", test, framework, QString(), onOutcome }, classpathOf({ IOS }), allowed);
}

int pss(const Classpath &test,
        const QString &tssGold,
        const Classpath &framework,
        const OutcomeHandler &onOutcome)
{
    Classpath allowed = commonApis();
    allowed.append(IOS);
    allowed.append(TSS_TYPE_INDEPENDENT);
    allowed.append(tssGold);
    allowed.append(framework);
    return accessOnly({ "PSS test", test, framework, tssGold, onOutcome }, allowed);
}

int pcs(const Classpath &test,
        const QString &tssGold,
        const Classpath &framework,
        const OutcomeHandler &onOutcome)
{
    // PCS sees IOS right after the Java APIs, ahead of the common files: the first definition wins.
    Classpath allowed = javaApis();
    allowed.append(IOS);
    allowed.append(DRAV_COMMON);
    allowed.append(FORMERLY_CORBA);
    allowed.append(TSS_TYPE_INDEPENDENT);
    allowed.append(tssGold);
    allowed.append(framework);
    return accessOnly({ "PCS test", test, framework, tssGold, onOutcome }, allowed);
}

} // namespace Tests
