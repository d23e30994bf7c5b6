#include "conformance/Tests.h"

#include "app/Options.h"
#include "conformance/InterfaceTest.h"
#include "conformance/RUtil.h"
#include "conformance/ResultsFile.h"
#include "conformance/Results.h"
#include "conformance/UoPTest.h"

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

// Owns the tree from creation to report; the tree is stored even when a test lets an
// exception escape, which then goes on to the worker. The results file is prepared first: the
// previous run's results go, and a log directory that cannot take new ones is said, before the
// test takes its time.
int run(const std::function<void(TestResultGroup *root)> &tests)
{
    ResultsFile results(RUtil::resultsPath());
    std::unique_ptr<TestResultGroup> root(createResultsTreeRootNode());
    try {
        tests(root.get());
    } catch (...) {
        store(*root, results);
        throw;
    }
    store(*root, results);
    return 0;
}

int interfaceOnly(const Classpath &test, const Classpath &gold)
{
    return run([&](TestResultGroup *root) { InterfaceTest(root, test, gold).runTest(); });
}

int interfaceThenAccess(const Classpath &test, const Classpath &gold, const Classpath &allowed)
{
    return run([&](TestResultGroup *root) { InterfaceTest(root, test, gold, allowed).runTest(); });
}

int accessOnly(const Classpath &test, const Classpath &allowed)
{
    return run([&](TestResultGroup *root) { UoPTest(root, test, allowed).runTest(); });
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

int oss(const Classpath &test)
{
    return interfaceOnly(test, javaApis());
}

int tss(const Classpath &test, const QString &tssGold, const Classpath &framework)
{
    Classpath allowed = commonApis();
    allowed.append(test);
    allowed.append(framework);
    return interfaceThenAccess(test, classpathOf({ TSS_TYPE_INDEPENDENT, tssGold }), allowed);
}

int tssabs(const Classpath &test, const QString &tssGold, const Classpath &framework)
{
    Classpath allowed = commonApis();
    allowed.append(TSS_TYPE_ABSTRACTION);
    allowed.append(test);
    allowed.append(framework);
    return interfaceThenAccess(test, classpathOf({ TSS_TYPE_INDEPENDENT, tssGold }), allowed);
}

int tssabsiface(const Classpath &test, const Classpath &framework)
{
    Classpath allowed = commonApis();
    allowed.append(test);
    allowed.append(framework);
    return interfaceThenAccess(
        test, classpathOf({ TSS_TYPE_INDEPENDENT, TSS_TYPE_ABSTRACTION }), allowed);
}

int ios(const Classpath &test, const Classpath &framework)
{
    Classpath allowed = commonApis();
    allowed.append(test);
    allowed.append(framework);
    return interfaceThenAccess(test, classpathOf({ IOS }), allowed);
}

int pss(const Classpath &test, const QString &tssGold, const Classpath &framework)
{
    Classpath allowed = commonApis();
    allowed.append(IOS);
    allowed.append(TSS_TYPE_INDEPENDENT);
    allowed.append(tssGold);
    allowed.append(framework);
    return accessOnly(test, allowed);
}

int pcs(const Classpath &test, const QString &tssGold, const Classpath &framework)
{
    // PCS sees IOS right after the Java APIs, ahead of the common files: the first definition wins.
    Classpath allowed = javaApis();
    allowed.append(IOS);
    allowed.append(DRAV_COMMON);
    allowed.append(FORMERLY_CORBA);
    allowed.append(TSS_TYPE_INDEPENDENT);
    allowed.append(tssGold);
    allowed.append(framework);
    return accessOnly(test, allowed);
}

} // namespace Tests
