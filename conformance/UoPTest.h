#pragma once

#include "TestResult.pb.h"
#include "classfile/DepField.h"
#include "classfile/DepMethod.h"
#include "classfile/TypeDescriptor.h"
#include "loader/Classpath.h"

#include <QHash>
#include <QString>
#include <QStringList>

class Class;
class ClassLoader;
class Field;
class Method;

/// The access test: every class, field and method that the component's bytecode refers to must be
/// found in the allowed APIs or the component itself and be reachable under Java's access rules.
/// Results go under "Access Results".
class UoPTest
{
public:
    /// results is not owned; "Access Results" is appended to it.
    UoPTest(TestResultGroup *results, const Classpath &test, const Classpath &allowed);

    void runTest();

    void testClass(TestResultGroup &group, ClassLoader &access, const Class &cls);
    void testAccessClass(TestResultGroup &group,
                         ClassLoader &access,
                         const Class &cls,
                         const TypeDescriptor &ref);
    void testAccessField(TestResultGroup &group,
                         ClassLoader &access,
                         const Class &cls,
                         const DepField &ref);
    void testAccessMethod(TestResultGroup &group,
                          ClassLoader &access,
                          const Class &cls,
                          const DepMethod &ref);

    /// The inheritance walks: an owner's interfaces depth first, and each ancestor's own members
    /// and interfaces up the superclass chain. Null when nothing is found.
    Field *checkInterfaceForField(ClassLoader &access, Class *owner, const DepField &f);
    Field *checkParentForField(ClassLoader &access, Class *owner, const DepField &f);
    Method *checkInterfaceForMethod(ClassLoader &access, Class *owner, const DepMethod &m);
    Method *checkParentForMethod(ClassLoader &access, Class *owner, const DepMethod &m);

private:
    template<typename Ref> class MemberWalk;

    /// What one member lookup found, with the walk's log lines so that a repeated lookup logs the
    /// same as the first.
    template<typename Member> struct Lookup
    {
        Member member = nullptr;
        QStringList walkLog;
    };

    void testClasses(ClassLoader &access, ClassLoader &testLoader, TestResultGroup &accessResults);
    // Lookups through the access loader. While runTest owns that loader they are remembered,
    // misses too: a miss costs a pass over every entry of the classpath, and components name the
    // same classes and members again and again.
    Class *findClass(ClassLoader &access, const QString &name);
    /// The class that owns a referenced member; its absence is the member's failed result.
    Class *findOwner(TestResultGroup &group,
                     ClassLoader &access,
                     const TypeDescriptor &owner,
                     const QString &request);
    template<typename Ref, typename Member>
    Member findMember(ClassLoader &access,
                      Class &owner,
                      const Ref &ref,
                      QHash<QString, Lookup<Member>> &known);
    void forget();

    Classpath testClasspath;
    Classpath allowedClasspath;
    TestResultGroup *results;

    // Answers of runTest's access loader, valid while it lives (its classes are in its cache).
    const ClassLoader *rememberedLoader = nullptr;
    QHash<QString, Class *> knownClasses;
    QHash<QString, Lookup<Field *>> knownFields;
    QHash<QString, Lookup<Method *>> knownMethods;
};
