#include "conformance/InterfaceTest.h"

#include "base/Logger.h"
#include "base/UnreadInputs.h"
#include "classfile/MethodSignature.h"
#include "classfile/Permission.h"
#include "classfile/TypeDescriptor.h"
#include "conformance/FindingCauses.h"
#include "conformance/UoPTest.h"
#include "loader/Class.h"
#include "loader/ClassLoader.h"
#include "loader/Field.h"
#include "loader/Method.h"
#include "report/Results.h"

#include <QMap>

#include <algorithm>
#include <exception>
#include <memory>

namespace {
// Texts are stored in the local 8-bit encoding, as everywhere in the result tree.
std::string bytes(const QString &text)
{
    return text.toLocal8Bit().toStdString();
}

void logInfo(const QString &text)
{
    logLine(Logger::L_INFO, text);
}

void describe(TestResult &result, const QString &name, const QString &description)
{
    result.set_name(bytes(name));
    result.set_description(bytes(description));
}

void fail(TestResult &result, const QString &text)
{
    result.set_score(R_FAIL);
    error(result.mutable_logs(), text);
}

// A class-level check: one verdict, and on a mismatch the one error line that names the gold
// and the test value.
void judge(TestResult &result,
           bool same,
           const QString &errorFormat,
           const QString &gold,
           const QString &test)
{
    result.set_score(R_PASS);
    if (!same)
        fail(result, errorFormat.arg(gold, test));
}

QString abstractToString(bool isAbstract)
{
    return isAbstract ? "abstract" : "non-abstract";
}

QString kindToString(bool isInterface)
{
    return isInterface ? "interface" : "class";
}

QString staticToString(bool isStatic)
{
    return isStatic ? "static" : "non-static";
}

QList<TypeDescriptor> sorted(QList<TypeDescriptor> types)
{
    std::sort(types.begin(), types.end());
    return types;
}

bool sameDescriptors(const QList<TypeDescriptor> &a, const QList<TypeDescriptor> &b)
{
    if (a.size() != b.size())
        return false;
    for (int i = 0; i < a.size(); ++i) {
        if (a.at(i).getDescriptor() != b.at(i).getDescriptor())
            return false;
    }
    return true;
}

// A property of a member: each mismatch fails the result and adds its own line, so one result
// can carry several.
void compare(TestResult &result,
             bool same,
             const QString &format,
             const QString &subject,
             const QString &gold,
             const QString &test)
{
    if (!same)
        fail(result, format.arg(subject, gold, test));
}
} // namespace

InterfaceTest::InterfaceTest(TestResultGroup *results, const Classpath &test, const Classpath &gold)
    : runAccessTest(false)
    , testClasspath(test)
    , goldClasspath(gold)
    , results(results)
{
}

InterfaceTest::InterfaceTest(TestResultGroup *results,
                             const Classpath &test,
                             const Classpath &gold,
                             const Classpath &access)
    : runAccessTest(true)
    , testClasspath(test)
    , goldClasspath(gold)
    , accessClasspath(access)
    , results(results)
{
}

void InterfaceTest::runTest()
{
    TestResultGroup *interfaceResults = results->add_subgroup();
    interfaceResults->set_name("Interface Results");
    try {
        testGoldClasspath(interfaceResults);
    } catch (const std::exception &e) {
        const QString message
            = QString("Test interrupted by exception - %1").arg(QString::fromLocal8Bit(e.what()));
        logLine(Logger::L_ERROR, message);
        UnreadInputs::recordInterruption("Interface test", message);
    }
    // The loaders are gone by now, so the access test does not hold two sets of them at once.
    if (runAccessTest)
        UoPTest(results, testClasspath, accessClasspath).runTest();
}

void InterfaceTest::testGoldClasspath(TestResultGroup *interfaceResults)
{
    logLine(Logger::L_DEBUG, "Creating gold class loader");
    std::unique_ptr<ClassLoader> goldLoader(ClassLoader::create(goldClasspath));
    goldLoader->loadAllClasses();
    const QMap<QString, Class *> goldClasses = goldLoader->getAllClasses();
    logInfo("Gold classpath configured");

    logLine(Logger::L_DEBUG, "Creating test class loader");
    std::unique_ptr<ClassLoader> testLoader(ClassLoader::create(testClasspath));
    logInfo("Test classpath configured");

    logInfo("Interface test starting");
    // A class that two gold entries define is tested once, against the definition of the first.
    const QStringList keys = goldClasses.keys();
    const int n = keys.size();
    for (int i = 0; i < n; ++i) {
        logProgress(i + 1, n, keys.at(i));
        testClass(
            interfaceResults->add_subgroup(), *goldClasses.value(keys.at(i)), testLoader.get());
    }
    if (!runAccessTest)
        testOtherClassVersions(interfaceResults, *testLoader, goldClasses);
    logInfo("Interface test completed");
}

// Without the access test nothing else reads the classes the reference does not list, yet a Java 8
// runtime refuses each of them that is too new, and one that cannot be read was never checked.
void InterfaceTest::testOtherClassVersions(TestResultGroup *interfaceResults,
                                           ClassLoader &testLoader,
                                           const QMap<QString, Class *> &goldClasses)
{
    testLoader.loadAllClasses();
    const QMap<QString, Class *> classes = testLoader.getAllClasses();
    for (auto it = classes.cbegin(); it != classes.cend(); ++it) {
        if (goldClasses.contains(it.key()) || isJava8ClassFile(*it.value()))
            continue;
        TestResultGroup *group = interfaceResults->add_subgroup();
        group->set_name(bytes(it.value()->getName().toString()));
        testClassVersion(*group->add_results(), *it.value());
    }
}

void InterfaceTest::logProgress(int done, int total, const QString &className)
{
    const int percent = static_cast<int>(done * 100.0 / total);
    logLine(Logger::L_INFO, { u"Test ", percent, u"% ", done, u"/", total, u" ", className });
}

void InterfaceTest::testClass(TestResultGroup *group, const Class &gold, ClassLoader *testLoader)
{
    const Class *test = testLoader->loadClass(gold.getName().getDescriptor());
    group->set_name(bytes(gold.getName().toString()));

    TestResultGroup *attributes = group->add_subgroup();
    attributes->set_name("Attributes");
    testAttributes(attributes->mutable_results(), gold, test);
    if (!test)
        return;

    TestResultGroup *fields = group->add_subgroup();
    fields->set_name("Fields");
    for (const Field *field : gold.getFields())
        testField(*fields->add_results(), *field, test);

    TestResultGroup *methods = group->add_subgroup();
    methods->set_name("Methods");
    for (const Method *method : gold.getMethods())
        testMethod(*methods->add_results(), *method, test);
}

void InterfaceTest::testAttributes(Results *results, const Class &gold, const Class *test)
{
    testClassExistence(*results->Add(), gold, test);
    if (!test)
        return;
    testClassVersion(*results->Add(), *test);
    testClassAbstract(*results->Add(), gold, *test);
    testClassIface(*results->Add(), gold, *test);
    testClassFinal(*results->Add(), gold, *test);
    testClassPermission(*results->Add(), gold, *test);
    testClassParent(*results->Add(), gold, *test);
    for (const TypeDescriptor &iface : gold.getInterfaces())
        testClassInterface(*results->Add(), iface, *test);
}

void InterfaceTest::testClassExistence(TestResult &result, const Class &gold, const Class *test)
{
    const QString name = gold.getName().toString();
    describe(result,
             QString("Class %1 existence test").arg(name),
             QString("Test if class %1 exists.").arg(name));
    result.set_score(R_PASS);
    if (!test)
        fail(result, QString("%1 could not be loaded from the classpath").arg(name));
}

void InterfaceTest::testClassVersion(TestResult &result, const Class &test)
{
    describe(result,
             QString("Java version %1 test").arg("8"),
             QString("Java class file version must be %1 or less.").arg("8"));
    result.set_score(R_PASS);
    if (!isJava8ClassFile(test)) {
        // The line keeps its fixed word; the cause says which release the file was built for.
        fail(result, QString("Found incorrect version %1").arg("INVALID"));
        setCause(result, FindingCauses::classFileVersion(test.getMajorVersion()));
    }
}

bool InterfaceTest::isJava8ClassFile(const Class &test)
{
    // Major version 52 is the Java 8 class-file format.
    return test.getMajorVersion() <= 52;
}

void InterfaceTest::testClassAbstract(TestResult &result, const Class &gold, const Class &test)
{
    const QString word = abstractToString(gold.isAbstract());
    describe(result, QString("Class %1 test").arg(word), QString("Test if class is %1.").arg(word));
    judge(result,
          gold.isAbstract() == test.isAbstract(),
          "Class should be %1 but is currently %2",
          word,
          abstractToString(test.isAbstract()));
}

void InterfaceTest::testClassIface(TestResult &result, const Class &gold, const Class &test)
{
    const QString word = kindToString(gold.isInterface());
    describe(result, QString("Class file %1 test").arg(word), QString("Test if is %1.").arg(word));
    judge(result,
          gold.isInterface() == test.isInterface(),
          "Class file should be %1 but is currently %2",
          word,
          kindToString(test.isInterface()));
}

void InterfaceTest::testClassFinal(TestResult &result, const Class &gold, const Class &test)
{
    const QString word = finalToString(gold.isFinal());
    describe(result, QString("Class %1 test").arg(word), QString("Test if class is %1.").arg(word));
    judge(result,
          gold.isFinal() == test.isFinal(),
          "Class should be %1 but is currently %2",
          word,
          finalToString(test.isFinal()));
}

void InterfaceTest::testClassPermission(TestResult &result, const Class &gold, const Class &test)
{
    describe(result, "Class permission test", "Test if the class has proper access permission.");
    judge(result,
          gold.getPermission() == test.getPermission(),
          "Class should be %1 but is currently %2",
          gold.getPermission().toString(),
          test.getPermission().toString());
}

void InterfaceTest::testClassParent(TestResult &result, const Class &gold, const Class &test)
{
    const TypeDescriptor goldParent = gold.getParent();
    const TypeDescriptor testParent = test.getParent();
    describe(
        result,
        QString("Class parent %1 test").arg(goldParent.toString()),
        QString("Test if the class has the proper parent class %1.").arg(goldParent.toString()));
    judge(result,
          goldParent.getDescriptor() == testParent.getDescriptor(),
          "Parent should be %1 but is currently %2",
          goldParent.toString(),
          testParent.toString());
}

void InterfaceTest::testClassInterface(TestResult &result,
                                       const TypeDescriptor &iface,
                                       const Class &test)
{
    const QString name = iface.toString();
    describe(result,
             QString("Class interface %1 implementation test").arg(name),
             QString("Test if the class has implemented interface %1.").arg(name));
    result.set_score(R_PASS);
    const QList<TypeDescriptor> &declared = test.getInterfaces();
    const bool implemented
        = std::any_of(declared.cbegin(), declared.cend(), [&](const TypeDescriptor &candidate) {
              return candidate.getDescriptor() == iface.getDescriptor();
          });
    if (!implemented)
        fail(result, QString("Class should implement %1").arg(name));
}

void InterfaceTest::testField(TestResult &result, const Field &gold, const Class *test)
{
    const Field *field = test ? test->getFieldByName(gold.getName()) : nullptr;
    const TypeDescriptor goldType = gold.getType();
    logInfo(QString("Field name under test %1").arg(gold.getName()));
    logInfo(QString("Field type under test %1").arg(goldType.toString()));

    const QString label = toString(gold);
    describe(result,
             QString("Field %1 test").arg(label),
             QString("Test if field %1 is properly declared.").arg(label));
    result.set_score(R_PASS);
    if (!field) {
        fail(result, "Not found");
        return;
    }
    const QString name = gold.getName();
    const TypeDescriptor testType = field->getType();
    compare(result,
            goldType.getDescriptor() == testType.getDescriptor(),
            "Field %1 should be of type %2 but is currently %3.",
            name,
            goldType.toString(),
            testType.toString());
    compare(result,
            gold.getPermission() == field->getPermission(),
            "Field %1 should have %2 access but is currently %3.",
            name,
            gold.getPermission().toString(),
            field->getPermission().toString());
    compare(result,
            gold.isFinal() == field->isFinal(),
            "Field %1 should be %2 but is currently %3.",
            name,
            finalToString(gold.isFinal()),
            finalToString(field->isFinal()));
    compare(result,
            gold.isStatic() == field->isStatic(),
            "Field %1 should be %2 but is currently %3.",
            name,
            staticToString(gold.isStatic()),
            staticToString(field->isStatic()));
}

void InterfaceTest::testMethod(TestResult &result, const Method &gold, const Class *test)
{
    const Method *method
        = test ? test->getMethodByNameAndSignature(gold.getName(), gold.getSignature()) : nullptr;
    const QString label = toString(gold);
    describe(result,
             QString("Method %1 test").arg(label),
             QString("Test if method %1 is properly declared.").arg(label));
    result.set_score(R_PASS);
    if (!method) {
        fail(result, "Not found");
        error(result.mutable_logs(), "Candidates:");
        const QList<Method *> candidates
            = test ? test->getMethodsByName(gold.getName()) : QList<Method *>();
        for (const Method *candidate : candidates)
            error(result.mutable_logs(), toString(*candidate));
        if (candidates.isEmpty())
            error(result.mutable_logs(), "[None]");
        return;
    }
    compare(result,
            gold.getPermission() == method->getPermission(),
            "Method %1 should have %2 access but is currently %3.",
            label,
            gold.getPermission().toString(),
            method->getPermission().toString());
    compare(result,
            gold.isFinal() == method->isFinal(),
            "Method %1 should be %2 but is currently %3.",
            label,
            finalToString(gold.isFinal()),
            finalToString(method->isFinal()));
    compare(result,
            gold.isStatic() == method->isStatic(),
            "Method %1 should be %2 but is currently %3.",
            label,
            staticToString(gold.isStatic()),
            staticToString(method->isStatic()));

    const QList<TypeDescriptor> goldExceptions = sorted(gold.getExceptions());
    if (!sameDescriptors(goldExceptions, sorted(method->getExceptions()))) {
        fail(result, QString("Method %1 should throw the following exceptionbe.").arg(label));
        for (const TypeDescriptor &exception : goldExceptions)
            error(result.mutable_logs(), exception.toString());
    }
}

QString InterfaceTest::finalToString(bool isFinal)
{
    return isFinal ? "final" : "non-final";
}

QString InterfaceTest::toString(const Field &field)
{
    return QString("%1 %2").arg(field.getType().toString(), field.getName());
}

QString InterfaceTest::toString(const Method &method)
{
    const MethodSignature signature = method.getSignature();
    return QString("%1 %2(%3)")
        .arg(
            signature.getReturnType().toString(), method.getName(), signature.getParameterString());
}
