#pragma once

#include "TestResult.pb.h"
#include "base/Classpath.h"
#include "classfile/DepField.h"
#include "classfile/DepMethod.h"
#include "classfile/TypeDescriptor.h"
#include "loader/MemberResolution.h"

#include <QHash>
#include <QString>

#include <memory>

class Class;
class ClassLoader;
class Field;
class Method;
class ProtectedReceivers;

/// The access test: every class, field and method that the component's bytecode refers to must be
/// found in the allowed APIs or the component itself, be reachable under Java's access rules and
/// link as the JVM links it, each member resolved as the JVM resolves it. Results go under
/// "Access Results".
class UoPTest
{
public:
    /// results is not owned; "Access Results" is appended to it.
    UoPTest(TestResultGroup *results, const Classpath &test, const Classpath &allowed);
    ~UoPTest();

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

    /// The class's declarations against its supertypes, as linking it checks them: final
    /// methods it overrides, abstract methods a concrete class leaves unimplemented.
    void testInheritance(TestResultGroup &group, ClassLoader &access, const Class &cls);

private:
    /// What one member lookup found: the member and the class that declares it.
    template<typename Member> struct Lookup
    {
        Member *member = nullptr;
        const Class *declaring = nullptr;
    };

    void testClasses(ClassLoader &access, ClassLoader &testLoader, TestResultGroup &accessResults);
    // Lookups through the access loader. While runTest owns that loader they are remembered,
    // misses too: a miss costs a pass over every entry of the classpath, and components name the
    // same classes and members again and again.
    Class *findClass(ClassLoader &access, const QString &name);
    MemberResolution resolutionIn(ClassLoader &access);
    /// The class that owns a referenced member; its absence is the member's failed result.
    Class *findOwner(TestResultGroup &group,
                     ClassLoader &access,
                     const TypeDescriptor &owner,
                     const QString &request);
    /// The answer remembered for the key while the access loader lives, else computed.
    template<typename Answer, typename Compute>
    Answer remembered(ClassLoader &access,
                      QHash<QString, Answer> &known,
                      const QString &key,
                      const Compute &compute);
    Lookup<Field> findField(ClassLoader &access, const Class &owner, const DepField &ref);
    Lookup<Method> findMethod(ClassLoader &access, const Class &owner, const DepMethod &ref);
    /// The verifier's check of the objects a protected member is used on: false when it fails,
    /// with its results appended.
    template<typename Member, typename Ref>
    bool receiversPass(TestResultGroup &group,
                       ClassLoader &access,
                       const Class &cls,
                       const Class &declaring,
                       const Member &member,
                       const Ref &ref,
                       const QString &request);
    void forget();

    Classpath testClasspath;
    Classpath allowedClasspath;
    TestResultGroup *results;

    // Answers of runTest's access loader, valid while it lives (its classes are in its cache).
    const ClassLoader *rememberedLoader = nullptr;
    QHash<QString, Class *> knownClasses;
    QHash<QString, Lookup<Field>> knownFields;
    QHash<QString, Lookup<Method>> knownMethods;
    /// The check of the class under test, made when a reference first needs it.
    std::unique_ptr<ProtectedReceivers> protectedReceivers;
};
