#include "conformance/UoPTest.h"

#include "app/Logger.h"
#include "classfile/Permission.h"
#include "conformance/DependencyPrefetch.h"
#include "conformance/FindingCauses.h"
#include "conformance/InterfaceTest.h"
#include "conformance/Results.h"
#include "loader/Class.h"
#include "loader/ClassLoader.h"
#include "loader/ParentClassLoader.h"
#include "loader/UnreadInputs.h"

#include <QSet>
#include <QVector>

#include <exception>
#include <memory>
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

Field *declaredMember(const Class &cls, const DepField &ref)
{
    return cls.getFieldByName(ref.name);
}

Method *declaredMember(const Class &cls, const DepMethod &ref)
{
    return cls.getMethodByNameAndSignature(ref.name, ref.signature);
}

// Only the method walks announce themselves in the log.
QString interfaceWalkLine(const DepField &)
{
    return QString();
}

QString interfaceWalkLine(const DepMethod &ref)
{
    return QString("UoPTest::checkInterfaceForMethod ==> %1").arg(ref.name);
}

QString parentWalkLine(const DepField &)
{
    return QString();
}

QString parentWalkLine(const DepMethod &ref)
{
    return QString("UoPTest::checkParentForMethod ==> %1").arg(ref.name);
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
        if (result.score() != R_PASS)
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
                .arg(
                    method->getName(), method->getSignature().descriptor, cls.getName().toString()),
            "Method is native. Inspection required to determine conformance of JNI calls.");
    }
}

// How many classes ahead of the test their dependency lists may be collected.
const int prefetchWindow = 32;

// Interface graphs of real libraries are small; past this many interface walks in one lookup the
// graph is hostile (a lattice that would take exponential time), and interfaces already searched
// are no longer searched again. They hold no hit, so the answer stays the same.
const int exactWalkLimit = 4096;

} // namespace

/// One member lookup through the inheritance graph, iterative so that long chains from hostile
/// class files cannot exhaust the stack, and cut at cycles so that it always ends.
template<typename Ref> class UoPTest::MemberWalk
{
public:
    using Member
        = decltype(declaredMember(std::declval<const Class &>(), std::declval<const Ref &>()));

    MemberWalk(UoPTest &test, ClassLoader &access, const Ref &ref)
        : test(test)
        , access(access)
        , ref(ref)
    {
    }

    /// The interfaces of start, depth first, in declaration order.
    Member interfaces(const Class &start)
    {
        QVector<Frame> stack;
        enter(start.getName().descriptor, start, stack);
        while (!stack.isEmpty()) {
            Frame &top = stack.last();
            const QList<TypeDescriptor> &names = top.cls->getInterfaces();
            if (top.next >= names.size()) {
                leave(stack);
                continue;
            }
            const QString &name = names.at(top.next++).descriptor;
            const Class *iface = test.findClass(access, name);
            if (!iface)
                continue;
            if (Member member = declaredMember(*iface, ref))
                return member;
            if (mayEnter(name))
                enter(name, *iface, stack);
        }
        return nullptr;
    }

    /// Each ancestor of start in turn: its own members, then its interfaces.
    Member parents(const Class &start)
    {
        QSet<QString> ancestors { start.getName().descriptor };
        const Class *cls = &start;
        for (;;) {
            announce(parentWalkLine(ref));
            if (!cls->hasParent())
                return nullptr;
            const TypeDescriptor parentName = cls->getParent();
            const Class *parent = test.findClass(access, parentName.descriptor);
            if (!parent || parentName.toString() == QLatin1String("ERROR "))
                return nullptr;
            if (ancestors.contains(parentName.descriptor))
                return nullptr; // a superclass cycle: everything on it was searched already
            ancestors.insert(parentName.descriptor);
            if (Member member = declaredMember(*parent, ref))
                return member;
            if (Member member = interfaces(*parent))
                return member;
            cls = parent;
        }
    }

    /// The walk's log lines, in the order they were logged.
    QStringList log;

private:
    struct Frame
    {
        const Class *cls;
        int next;
    };

    void announce(const QString &line)
    {
        if (line.isEmpty())
            return;
        logLine(Logger::L_INFO, line);
        log.append(line);
    }

    bool mayEnter(const QString &name) const
    {
        if (onPath.contains(name))
            return false; // an interface that extends itself through others
        return entries < exactWalkLimit || !searched.contains(name);
    }

    void enter(const QString &name, const Class &cls, QVector<Frame> &stack)
    {
        announce(interfaceWalkLine(ref));
        ++entries;
        onPath.insert(name);
        names.append(name);
        stack.append(Frame { &cls, 0 });
    }

    void leave(QVector<Frame> &stack)
    {
        const QString name = names.takeLast();
        onPath.remove(name);
        searched.insert(name);
        stack.removeLast();
    }

    UoPTest &test;
    ClassLoader &access;
    const Ref &ref;
    QSet<QString> onPath;
    QStringList names;
    QSet<QString> searched;
    int entries = 0;
};

template<typename Ref, typename Member>
Member UoPTest::findMember(ClassLoader &access,
                           Class &owner,
                           const Ref &ref,
                           QHash<QString, Lookup<Member>> &known)
{
    // The owner is found by the key's owner name, so the key decides the answer.
    const bool remembering = &access == rememberedLoader;
    const auto remembered = known.constFind(ref.getKey());
    if (remembering && remembered != known.constEnd()) {
        for (const QString &line : remembered->walkLog)
            logLine(Logger::L_INFO, line);
        return remembered->member;
    }
    Lookup<Member> lookup;
    lookup.member = declaredMember(owner, ref);
    if (!lookup.member) {
        MemberWalk<Ref> walk(*this, access, ref);
        lookup.member = walk.interfaces(owner);
        if (!lookup.member)
            lookup.member = walk.parents(owner);
        lookup.walkLog = walk.log;
    }
    if (remembering)
        known.insert(ref.getKey(), lookup);
    return lookup.member;
}

UoPTest::UoPTest(TestResultGroup *results, const Classpath &test, const Classpath &allowed)
    : testClasspath(test)
    , allowedClasspath(allowed)
    , results(results)
{
}

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
        const int percent = static_cast<int>((i + 1) * 100.0 / n);
        logLine(Logger::L_INFO,
                QString("Test %1% %2/%3 %4")
                    .arg(QString::number(percent),
                         QString::number(i + 1),
                         QString::number(n),
                         cls.getName().toString()));
        group.set_name(toBytes(TypeDescriptor::fromClassDescriptorName(key).toString()));
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
    cls.releaseDependencies();
}

void UoPTest::testAccessClass(TestResultGroup &group,
                              ClassLoader &access,
                              const Class &cls,
                              const TypeDescriptor &ref)
{
    const QString target = ref.toString();
    const Class *found = findClass(access, ref.descriptor);
    if (!found) {
        appendFailure(
            group,
            QString("Class %1 existence test").arg(target),
            QString("Access to class %1 was requested. Checking for existence.").arg(target),
            "Class not found");
        return;
    }
    if (Permission::accessible(access, cls, *found)) {
        logLine(
            Logger::L_INFO,
            QString(" = Class %1 exists and is reachable based on access permission.").arg(target));
    } else {
        TestResult &result = appendFailure(
            group,
            QString("Class %1 access test").arg(target),
            QString("Access to class %1 was requested. Checking for permission.").arg(target),
            QString("Class not reachable based on access permissions %1").arg(target));
        setCause(result, FindingCauses::classDenied(cls, *found));
    }
    if (found->getName().className.startsWith(QLatin1String("java.lang.reflect"))) {
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
    const QString target = ref.owner.toString();
    const QString request
        = QString("Access to field %1 in class %2 was requested. ").arg(ref.name, target);
    Class *owner = findOwner(group, access, ref.owner, request);
    if (!owner)
        return;
    const Field *field = findMember(access, *owner, ref, knownFields);
    if (!field) {
        appendFailure(group,
                      QString("Field %1 existence test").arg(ref.name),
                      request + "Checking for field existence.",
                      "Field not found");
        return;
    }
    if (Permission::accessible(access, cls, *owner, *field)) {
        logLine(Logger::L_INFO,
                QString(" = Field %1 in class %2 test passes.").arg(ref.name, target));
        return;
    }
    TestResult &result = appendFailure(group,
                                       QString("Field %1 permission test").arg(ref.name),
                                       request + "Checking for field permission.",
                                       "Permission denied");
    setCause(result,
             FindingCauses::memberDenied(access, cls, *owner, field->getPermission(), "field"));
}

void UoPTest::testAccessMethod(TestResultGroup &group,
                               ClassLoader &access,
                               const Class &cls,
                               const DepMethod &ref)
{
    const QString target = ref.owner.toString();
    const QString request = QString("Access to method %1 %2 in class %3 was requested. ")
                                .arg(ref.name, ref.signature.descriptor, target);
    Class *owner = findOwner(group, access, ref.owner, request);
    if (!owner)
        return;
    const Method *method = findMember(access, *owner, ref, knownMethods);
    if (!method) {
        TestResult &result = appendFailure(group,
                                           QString("Method %1 existence test").arg(ref.name),
                                           request + "Checking for method existence.",
                                           "Method not found");
        setCause(result, FindingCauses::otherReturnType(access, *owner, ref));
        return;
    }
    if (method->isNative()) {
        appendInspection(
            group,
            QString("Method %1 native test").arg(ref.name),
            request + "Checking if method is native.",
            "Method is native. Inspection required to determine conformance of JNI calls.");
    }
    if (!Permission::accessible(access, cls, *owner, *method)) {
        TestResult &result = appendFailure(group,
                                           QString("Method %1 permission test").arg(ref.name),
                                           request + "Checking for method permission.",
                                           "Permission denied");
        setCause(
            result,
            FindingCauses::memberDenied(access, cls, *owner, method->getPermission(), "method"));
        return;
    }
    if (method->requireInspection()) {
        appendInspection(group,
                         QString("Method %1 JNI test").arg(ref.name),
                         request + "Checking if method is a JNI call.",
                         "Inspection required to determine conformance of JNI calls.");
    }
    if (method->signaturePolymorphic()) {
        appendInspection(group,
                         QString("Method %1 signature polymorphic test").arg(ref.name),
                         request + "Checking if method is a signature polymorphic method.",
                         "Inspection required because method is a signature polymorphic method.");
    }
    logLine(Logger::L_INFO,
            QString(" = Method %1 in class %2 is called correctly.").arg(ref.name, target));
}

Field *UoPTest::checkInterfaceForField(ClassLoader &access, Class *owner, const DepField &f)
{
    return owner ? MemberWalk<DepField>(*this, access, f).interfaces(*owner) : nullptr;
}

Field *UoPTest::checkParentForField(ClassLoader &access, Class *owner, const DepField &f)
{
    return owner ? MemberWalk<DepField>(*this, access, f).parents(*owner) : nullptr;
}

Method *UoPTest::checkInterfaceForMethod(ClassLoader &access, Class *owner, const DepMethod &m)
{
    return owner ? MemberWalk<DepMethod>(*this, access, m).interfaces(*owner) : nullptr;
}

Method *UoPTest::checkParentForMethod(ClassLoader &access, Class *owner, const DepMethod &m)
{
    return owner ? MemberWalk<DepMethod>(*this, access, m).parents(*owner) : nullptr;
}

Class *UoPTest::findOwner(TestResultGroup &group,
                          ClassLoader &access,
                          const TypeDescriptor &owner,
                          const QString &request)
{
    Class *found = findClass(access, owner.descriptor);
    if (!found) {
        appendFailure(group,
                      QString("Class %1 existence test").arg(owner.toString()),
                      request + "Checking for class existence.",
                      "Class not found");
    }
    return found;
}

Class *UoPTest::findClass(ClassLoader &access, const QString &name)
{
    if (&access != rememberedLoader)
        return access.loadClass(name);
    const auto known = knownClasses.constFind(name);
    if (known != knownClasses.constEnd())
        return known.value();
    Class *cls = access.loadClass(name);
    knownClasses.insert(name, cls);
    return cls;
}

void UoPTest::forget()
{
    rememberedLoader = nullptr;
    knownClasses.clear();
    knownFields.clear();
    knownMethods.clear();
}
