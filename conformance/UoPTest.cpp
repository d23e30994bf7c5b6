#include "conformance/UoPTest.h"

#include "base/Logger.h"
#include "base/UnreadInputs.h"
#include "classfile/Linkage.h"
#include "classfile/Permission.h"
#include "conformance/DependencyPrefetch.h"
#include "conformance/FindingCauses.h"
#include "conformance/InterfaceTest.h"
#include "conformance/LinkageErrors.h"
#include "conformance/ProtectedReceivers.h"
#include "loader/Class.h"
#include "loader/ClassLoader.h"
#include "loader/ParentClassLoader.h"
#include "report/Results.h"

#include <exception>
#include <memory>
#include <type_traits>
#include <utility>

namespace {

std::string toBytes(const QString &text)
{
    return text.toLocal8Bit().toStdString();
}

TestResult &appendResult(TestResultGroup &group,
                         const QString &name,
                         const QString &description,
                         TestScore score)
{
    TestResult &result = *group.add_results();
    result.set_name(toBytes(name));
    result.set_description(toBytes(description));
    result.set_score(score);
    return result;
}

TestResult &appendFailure(TestResultGroup &group,
                          const QString &name,
                          const QString &description,
                          const QString &why)
{
    TestResult &result = appendResult(group, name, description, R_FAIL);
    error(result.mutable_logs(), why);
    return result;
}

void appendInspection(TestResultGroup &group,
                      const QString &name,
                      const QString &description,
                      const QString &why)
{
    warning(appendResult(group, name, description, R_INSPECT).mutable_logs(), why);
}

// The JVM's error stands both in the result and as its cause, which names no class of the
// component, so that one finding gathers every class the error affects.
void appendLinkageFailure(TestResultGroup &group,
                          const QString &name,
                          const QString &description,
                          const QString &error)
{
    setCause(appendFailure(group, name, description, error), error);
}

// A class that does not link as the component uses it: false, and nothing appended, when it
// does.
bool appendLinkageFailure(TestResultGroup &group, const Class &cls, const QString &error)
{
    if (error.isEmpty())
        return false;
    const QString target = cls.getName().toString();
    appendLinkageFailure(
        group,
        QString("Class %1 linkage test").arg(target),
        QString("Access to class %1 was requested. Checking for class linkage.").arg(target),
        error);
    return true;
}

QString kindOf(const DepField &)
{
    return QStringLiteral("field");
}

QString kindOf(const DepMethod &)
{
    return QStringLiteral("method");
}

const QString &descriptorOf(const DepField &ref)
{
    return ref.getType().getDescriptor();
}

const QString &descriptorOf(const DepMethod &ref)
{
    return ref.getSignature().getDescriptor();
}

// "Field", "Method": the kind as result names begin.
template<typename Ref> QString titleOf(const Ref &ref)
{
    const QString kind = kindOf(ref);
    return kind.left(1).toUpper() + kind.mid(1);
}

// A member the JVM would not find in owner, asked for by cls: its failed result, caused by the
// platform's class standing where the component's own is, by a member of another shape or else
// by a missing supertype.
template<typename Ref>
void appendNotFound(TestResultGroup &group,
                    const MemberResolution &resolution,
                    const Class &cls,
                    const Class &owner,
                    const Ref &ref,
                    const QString &request,
                    const QString &otherShape)
{
    TestResult &result
        = appendFailure(group,
                        QString("%1 %2 existence test").arg(titleOf(ref), ref.getName()),
                        request + QString("Checking for %1 existence.").arg(kindOf(ref)),
                        QString("%1 not found").arg(titleOf(ref)));
    QString cause = FindingCauses::platformCopy(cls, owner);
    if (cause.isEmpty())
        cause = otherShape.isEmpty() ? FindingCauses::missingSupertype(resolution, owner)
                                     : otherShape;
    setCause(result, cause);
}

// A member the class may not use, reached through a reference to owner: its failed result,
// with why. False, and nothing appended, when the class may use it.
template<typename Member, typename Ref>
bool appendPermissionFailure(TestResultGroup &group,
                             ClassLoader &access,
                             const Class &cls,
                             const Class &owner,
                             const Class &declaring,
                             const Member &member,
                             const Ref &ref,
                             const QString &request)
{
    if (Permission::accessible(access, cls, owner, declaring, member))
        return false;
    TestResult &result
        = appendFailure(group,
                        QString("%1 %2 permission test").arg(titleOf(ref), ref.getName()),
                        request + QString("Checking for %1 permission.").arg(kindOf(ref)),
                        "Permission denied");
    setCause(result,
             FindingCauses::memberDenied(
                 access, cls, owner, declaring, member.getPermission(), kindOf(ref)));
    return true;
}

void shareClassFiles(ClassLoader &access, const ClassLoader &test)
{
    auto *chain = dynamic_cast<ParentClassLoader *>(&access);
    const auto *donor = dynamic_cast<const ParentClassLoader *>(&test);
    if (chain && donor)
        chain->shareClassFilesOf(*donor);
}

// The results a reference gave from `first` on, findings only, learn where the class makes it.
// The texts of the origins are made only for them.
template<typename Ref>
void noteOrigins(TestResultGroup &group, int first, const Class &cls, const Ref &ref)
{
    for (int i = first; i < group.results_size(); ++i) {
        TestResult &result = *group.mutable_results(i);
        // A result that says where it is made keeps its own places.
        if (result.score() != R_PASS && result.origins_size() == 0)
            setOrigins(result, cls.getOrigins(ref));
    }
}

// A Java 8 runtime refuses the whole class file before anything it uses matters: the failure
// leads the class's results.
void testVersion(TestResultGroup &group, const Class &cls)
{
    if (!InterfaceTest::isJava8ClassFile(cls))
        InterfaceTest::testClassVersion(*group.add_results(), cls);
}

// A native method runs code that no class file holds, whoever calls it: the class itself, another
// class, or the runtime (a callback from native code) without any call in sight.
void testNativeDeclarations(TestResultGroup &group, const Class &cls)
{
    for (const Method *method : cls.getMethods()) {
        if (!method->isNative())
            continue;
        appendInspection(
            group,
            QString("Method %1 native test").arg(method->getName()),
            QString("Method %1 %2 in class %3 is declared native. Checking if method is native.")
                .arg(method->getName(),
                     method->getSignature().getDescriptor(),
                     cls.getName().toString()),
            "Method is native. Inspection required to determine conformance of JNI calls.");
    }
}

// How many classes ahead of the test their dependency lists may be collected.
const int prefetchWindow = 32;

} // namespace

UoPTest::UoPTest(TestResultGroup *results, const Classpath &test, const Classpath &allowed)
    : testClasspath(test)
    , allowedClasspath(allowed)
    , results(results)
{
}

UoPTest::~UoPTest() = default;

void UoPTest::runTest()
{
    TestResultGroup &accessResults = *results->add_subgroup();
    accessResults.set_name(toBytes("Access Results"));
    std::unique_ptr<ClassLoader> accessLoader;
    std::unique_ptr<ClassLoader> testLoader;
    // What is remembered points into the access loader's cache: forgotten before the loader goes.
    struct Forgetting
    {
        UoPTest &test;
        ~Forgetting() { test.forget(); }
    } forgetting { *this };
    try {
        Classpath accessClasspath;
        accessClasspath.append(allowedClasspath);
        accessClasspath.append(testClasspath);
        logLine(Logger::L_DEBUG, "Creating access class loader");
        accessLoader.reset(ClassLoader::create(accessClasspath));
        rememberedLoader = accessLoader.get();
        logLine(Logger::L_INFO, "Gold classpath configured");

        logLine(Logger::L_DEBUG, "Creating test class loader");
        testLoader.reset(ClassLoader::create(testClasspath));
        testLoader->loadAllClasses();
        // The component's classes are all read by now; the access loader takes those it needs
        // from them rather than reading and parsing them a second time.
        shareClassFiles(*accessLoader, *testLoader);
        logLine(Logger::L_INFO, "Test classpath configured");

        logLine(Logger::L_INFO, "Access test starting");
        testClasses(*accessLoader, *testLoader, accessResults);
        logLine(Logger::L_INFO, "Access test completed");
    } catch (const std::exception &e) {
        const QString message
            = QString("Test interrupted by exception - %1").arg(QString::fromLocal8Bit(e.what()));
        logLine(Logger::L_ERROR, message);
        UnreadInputs::recordInterruption("Access test", message);
    }
}

void UoPTest::testClasses(ClassLoader &access,
                          ClassLoader &testLoader,
                          TestResultGroup &accessResults)
{
    // A class in two entries of the component is tested once, from the entry a lookup finds.
    const QMap<QString, Class *> classes = testLoader.getAllClasses();
    const QList<QString> keys = classes.keys();
    QList<const Class *> order;
    for (const QString &key : keys)
        order.append(classes.value(key));
    DependencyPrefetch prefetch(order, prefetchWindow);
    const int n = keys.size();
    for (int i = 0; i < n; ++i) {
        const QString &key = keys.at(i);
        const Class &cls = *order.at(i);
        prefetch.reach(i);
        TestResultGroup &group = *accessResults.add_subgroup();
        InterfaceTest::logProgress(i + 1, n, cls.getName().toString());
        group.set_name(toBytes(TypeDescriptor::fromClassDescriptorName(key).toString()));
        group.set_entry(toBytes(testLoader.sourceOf(key)));
        testClass(group, access, cls);
    }
}

void UoPTest::testClass(TestResultGroup &group, ClassLoader &access, const Class &cls)
{
    testVersion(group, cls);
    testNativeDeclarations(group, cls);
    for (const TypeDescriptor &ref : cls.getDependentClasses()) {
        const int first = group.results_size();
        testAccessClass(group, access, cls, ref);
        noteOrigins(group, first, cls, ref);
    }
    for (const DepField &ref : cls.getDependentFields()) {
        const int first = group.results_size();
        testAccessField(group, access, cls, ref);
        noteOrigins(group, first, cls, ref);
    }
    for (const DepMethod &ref : cls.getDependentMethods()) {
        const int first = group.results_size();
        testAccessMethod(group, access, cls, ref);
        noteOrigins(group, first, cls, ref);
    }
    testInheritance(group, access, cls);
    cls.releaseDependencies();
}

void UoPTest::testAccessClass(TestResultGroup &group,
                              ClassLoader &access,
                              const Class &cls,
                              const TypeDescriptor &ref)
{
    const QString target = ref.toString();
    const quint8 linkage = cls.getLinkage(ref);
    // A type only named in descriptors and declarations is never resolved, so never checked for
    // access; it must still be there for the component to be built against what it may use.
    const bool resolved = (linkage & Linkage::L_RESOLVED) != 0;
    const Class *found = findClass(access, ref.getDescriptor());
    if (!found) {
        appendFailure(group,
                      QString("Class %1 existence test").arg(target),
                      (resolved ? QString("Access to class %1 was requested.")
                                : QString("Class %1 is named only in a signature."))
                              .arg(target)
                          + " Checking for existence.",
                      "Class not found");
        return;
    }
    if (!resolved) {
        logLine(Logger::L_INFO,
                { u" = Class ",
                  target,
                  u" exists; named only in a signature, it is not checked for access." });
    } else if (!Permission::accessible(access, cls, *found)) {
        TestResult &result = appendFailure(
            group,
            QString("Class %1 access test").arg(target),
            QString("Access to class %1 was requested. Checking for permission.").arg(target),
            QString("Class not reachable based on access permissions %1").arg(target));
        setCause(result, FindingCauses::classDenied(cls, *found));
    } else if (!appendLinkageFailure(group, *found, LinkageErrors::ofClass(*found, linkage))) {
        logLine(Logger::L_INFO,
                { u" = Class ", target, u" exists and is reachable based on access permission." });
    }
    if (found->getName().getClassName().startsWith(QLatin1String("java.lang.reflect"))) {
        TestResult &result = appendResult(
            group,
            QString("Class %1 reflection informational test").arg(target),
            "Access to class from java.lang.reflect was requested. Reflection is allowed by DRAV. "
            "This warning is purely informational.",
            R_PASS);
        warning(result.mutable_logs(), QString("Class uses reflection %1").arg(target));
    }
}

void UoPTest::testAccessField(TestResultGroup &group,
                              ClassLoader &access,
                              const Class &cls,
                              const DepField &ref)
{
    const QString target = ref.getOwner().toString();
    const QString request
        = QString("Access to field %1 in class %2 was requested. ").arg(ref.getName(), target);
    Class *owner = findOwner(group, access, ref.getOwner(), request);
    if (!owner)
        return;
    const Lookup<Field> found = findField(access, *owner, ref);
    if (!found.member) {
        const MemberResolution resolution = resolutionIn(access);
        appendNotFound(group,
                       resolution,
                       cls,
                       *owner,
                       ref,
                       request,
                       FindingCauses::otherFieldType(resolution, *owner, ref));
        return;
    }
    const Field &field = *found.member;
    if (appendPermissionFailure(group, access, cls, *owner, *found.declaring, field, ref, request))
        return;
    const QString error
        = LinkageErrors::ofField(cls, *owner, *found.declaring, field, cls.getLinkage(ref));
    if (!error.isEmpty()) {
        appendLinkageFailure(group,
                             QString("Field %1 linkage test").arg(ref.getName()),
                             request + "Checking for field linkage.",
                             error);
        return;
    }
    if (receiversPass(group, access, cls, *found.declaring, field, ref, request))
        logLine(Logger::L_INFO,
                { u" = Field ", ref.getName(), u" in class ", target, u" test passes." });
}

void UoPTest::testAccessMethod(TestResultGroup &group,
                               ClassLoader &access,
                               const Class &cls,
                               const DepMethod &ref)
{
    const QString target = ref.getOwner().toString();
    const QString request = QString("Access to method %1 %2 in class %3 was requested. ")
                                .arg(ref.getName(), ref.getSignature().getDescriptor(), target);
    Class *owner = findOwner(group, access, ref.getOwner(), request);
    if (!owner)
        return;
    const QString name = QString("Method %1 linkage test").arg(ref.getName());
    const QString linkageCheck = request + "Checking for method linkage.";
    const quint8 linkage = cls.getLinkage(ref);
    // The JVM looks a method up only in the kind of class its reference names.
    const QString ownerError = LinkageErrors::ofMethodOwner(*owner, linkage);
    if (!ownerError.isEmpty()) {
        appendLinkageFailure(group, name, linkageCheck, ownerError);
        return;
    }
    const Lookup<Method> found = findMethod(access, *owner, ref);
    if (!found.member) {
        appendNotFound(group,
                       resolutionIn(access),
                       cls,
                       *owner,
                       ref,
                       request,
                       FindingCauses::otherReturnType(access, *owner, ref));
        return;
    }
    const Method &method = *found.member;
    if (method.isNative()) {
        appendInspection(
            group,
            QString("Method %1 native test").arg(ref.getName()),
            request + "Checking if method is native.",
            "Method is native. Inspection required to determine conformance of JNI calls.");
    }
    if (appendPermissionFailure(group, access, cls, *owner, *found.declaring, method, ref, request))
        return;
    const QString error = LinkageErrors::ofMethod(*found.declaring, method, linkage);
    if (!error.isEmpty()) {
        appendLinkageFailure(group, name, linkageCheck, error);
        return;
    }
    if (!receiversPass(group, access, cls, *found.declaring, method, ref, request))
        return;
    if (method.requireInspection()) {
        appendInspection(group,
                         QString("Method %1 JNI test").arg(ref.getName()),
                         request + "Checking if method is a JNI call.",
                         "Inspection required to determine conformance of JNI calls.");
    }
    if (method.signaturePolymorphic()) {
        appendInspection(group,
                         QString("Method %1 signature polymorphic test").arg(ref.getName()),
                         request + "Checking if method is a signature polymorphic method.",
                         "Inspection required because method is a signature polymorphic method.");
    }
    logLine(Logger::L_INFO,
            { u" = Method ", ref.getName(), u" in class ", target, u" is called correctly." });
}

void UoPTest::testInheritance(TestResultGroup &group, ClassLoader &access, const Class &cls)
{
    for (const LinkageErrors::Inherited &inherited :
         LinkageErrors::ofInheritance(access, resolutionIn(access), cls)) {
        const int first = group.results_size();
        appendLinkageFailure(group, *inherited.supertype, inherited.error);
        noteOrigins(group, first, cls, inherited.supertype->getName());
    }
}

Class *UoPTest::findOwner(TestResultGroup &group,
                          ClassLoader &access,
                          const TypeDescriptor &owner,
                          const QString &request)
{
    Class *found = findClass(access, owner.getDescriptor());
    if (!found) {
        appendFailure(group,
                      QString("Class %1 existence test").arg(owner.toString()),
                      request + "Checking for class existence.",
                      "Class not found");
    }
    return found;
}

// The owner is found by the key's owner name, so the key decides the answer.
template<typename Answer, typename Compute>
Answer UoPTest::remembered(ClassLoader &access,
                           QHash<QString, Answer> &known,
                           const QString &key,
                           const Compute &compute)
{
    if (&access != rememberedLoader)
        return compute();
    const auto found = known.constFind(key);
    if (found != known.constEnd())
        return found.value();
    return known.insert(key, compute()).value();
}

UoPTest::Lookup<Field>
UoPTest::findField(ClassLoader &access, const Class &owner, const DepField &ref)
{
    return remembered(access, knownFields, ref.getKey(), [&]() {
        const auto found = resolutionIn(access).field(owner, ref.getName(), ref.getType());
        return Lookup<Field> { found.member, found.declaring };
    });
}

UoPTest::Lookup<Method>
UoPTest::findMethod(ClassLoader &access, const Class &owner, const DepMethod &ref)
{
    return remembered(access, knownMethods, ref.getKey(), [&]() {
        const MemberResolution resolution = resolutionIn(access);
        const auto found = owner.isInterface()
            ? resolution.interfaceMethod(owner, ref.getName(), ref.getSignature())
            : resolution.method(owner, ref.getName(), ref.getSignature());
        return Lookup<Method> { found.member, found.declaring };
    });
}

MemberResolution UoPTest::resolutionIn(ClassLoader &access)
{
    return MemberResolution(
        [this, &access](const QString &name) -> const Class * { return findClass(access, name); });
}

Class *UoPTest::findClass(ClassLoader &access, const QString &name)
{
    return remembered(access, knownClasses, name, [&]() { return access.loadClass(name); });
}

template<typename Member, typename Ref>
bool UoPTest::receiversPass(TestResultGroup &group,
                            ClassLoader &access,
                            const Class &cls,
                            const Class &declaring,
                            const Member &member,
                            const Ref &ref,
                            const QString &request)
{
    // The verifier checks only instance uses of protected members.
    if (member.getPermission() != Permission::PROTECTED || member.isStatic())
        return true;
    if (!protectedReceivers || &protectedReceivers->getClass() != &cls
        || &protectedReceivers->getLoader() != &access)
        protectedReceivers = std::make_unique<ProtectedReceivers>(access, cls);
    const QString description = request + "Checking the objects it is used on.";
    bool passes = true;
    for (const ProtectedReceivers::Violation &violation :
         protectedReceivers->check(ref.getOwner(),
                                   declaring,
                                   ref.getName(),
                                   descriptorOf(ref),
                                   std::is_same<Ref, DepMethod>::value)) {
        if (violation.undecided) {
            appendInspection(
                group,
                QString("%1 %2 receiver inspection test").arg(titleOf(ref), ref.getName()),
                description,
                violation.error);
            continue;
        }
        passes = false;
        TestResult &result
            = appendFailure(group,
                            QString("%1 %2 receiver test").arg(titleOf(ref), ref.getName()),
                            description,
                            violation.error);
        setCause(result, violation.cause);
        setOrigins(result, violation.origins);
    }
    return passes;
}

void UoPTest::forget()
{
    protectedReceivers.reset();
    rememberedLoader = nullptr;
    knownClasses.clear();
    knownFields.clear();
    knownMethods.clear();
}
