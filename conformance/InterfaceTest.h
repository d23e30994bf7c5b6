#pragma once

#include "base/Classpath.h"

#include "TestResult.pb.h"

#include <QMap>
#include <QString>

class Class;
class ClassLoader;
class Field;
class Method;
class TypeDescriptor;

/// Checks that a component provides every class of a reference (gold) classpath exactly as the
/// reference declares it, one result per attribute, field and method under "Interface Results";
/// built with an access classpath it then runs the access test over the component as well.
class InterfaceTest
{
public:
    using Results = google::protobuf::RepeatedPtrField<TestResult>;

    /// results: the group that receives "Interface Results"; not owned, must outlive runTest().
    InterfaceTest(TestResultGroup *results, const Classpath &test, const Classpath &gold);
    InterfaceTest(TestResultGroup *results,
                  const Classpath &test,
                  const Classpath &gold,
                  const Classpath &access);

    void runTest();

    void testClass(TestResultGroup *group, const Class &gold, ClassLoader *testLoader);
    void testAttributes(Results *results, const Class &gold, const Class *test);

    static void testClassExistence(TestResult &result, const Class &gold, const Class *test);
    static void testClassVersion(TestResult &result, const Class &test);
    /// Whether a Java 8 runtime loads the class file's version.
    static bool isJava8ClassFile(const Class &test);
    static void testClassAbstract(TestResult &result, const Class &gold, const Class &test);
    static void testClassIface(TestResult &result, const Class &gold, const Class &test);
    static void testClassFinal(TestResult &result, const Class &gold, const Class &test);
    static void testClassPermission(TestResult &result, const Class &gold, const Class &test);
    static void testClassParent(TestResult &result, const Class &gold, const Class &test);
    static void
    testClassInterface(TestResult &result, const TypeDescriptor &iface, const Class &test);
    static void testField(TestResult &result, const Field &gold, const Class *test);
    static void testMethod(TestResult &result, const Method &gold, const Class *test);

    /// "Test 50% 2/4 a.Two": the step of a test that the progress dialog shows, logged for the
    /// `done`th class of `total`.
    static void logProgress(int done, int total, const QString &className);

    static QString finalToString(bool isFinal);
    static QString toString(const Field &field);
    static QString toString(const Method &method);

private:
    void testGoldClasspath(TestResultGroup *interfaceResults);
    void testOtherClassVersions(TestResultGroup *interfaceResults,
                                ClassLoader &testLoader,
                                const QMap<QString, Class *> &goldClasses);

    bool runAccessTest;
    Classpath testClasspath;
    Classpath goldClasspath;
    Classpath accessClasspath;
    TestResultGroup *results; // not owned: the recipe's tree
};
