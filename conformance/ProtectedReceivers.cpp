#include "conformance/ProtectedReceivers.h"

#include "classfile/JavaClassFile.h"
#include "classfile/ReceiverTypes.h"
#include "loader/Class.h"
#include "loader/ClassLoader.h"
#include "loader/JavaClass.h"

#include <QMap>
#include <QSet>
#include <QStringList>

namespace {

// Superclass chains and interface graphs of real libraries are short; hostile class files may
// make them endless.
constexpr int maxSupertypes = 256;

// The verifiers of class files before Java 7 (Java 6 falls back on them) name no instruction.
constexpr int firstTypeCheckedMajor = 51;

enum Opcode : quint8 { GETFIELD = 180, PUTFIELD = 181, INVOKEVIRTUAL = 182 };

/// The JVM's error for a use that fails the check.
QString errorOf(const ReceiverTypes::Use &use, int major)
{
    if (!use.undecided.isEmpty())
        return QString("Code the verifier cannot follow: %1").arg(use.undecided);
    if (major < firstTypeCheckedMajor)
        return "Bad access to protected data";
    switch (use.opcode) {
    case GETFIELD:
        return "Bad access to protected data in getfield";
    case PUTFIELD:
        return "Bad access to protected data in putfield";
    case INVOKEVIRTUAL:
        return "Bad access to protected data in invokevirtual";
    default:
        return "Bad access to protected <init> method";
    }
}

} // namespace

ProtectedReceivers::ProtectedReceivers(ClassLoader &access, const Class &cls)
    : access(access)
    , cls(cls)
{
}

ProtectedReceivers::~ProtectedReceivers() = default;

QList<ProtectedReceivers::Violation> ProtectedReceivers::check(const TypeDescriptor &owner,
                                                               const Class &declaring,
                                                               const QString &name,
                                                               const QString &descriptor,
                                                               bool isMethod)
{
    const auto *javaClass = dynamic_cast<const JavaClass *>(&cls);
    if (!javaClass || packageOf(declaring) == packageOf(cls) || !isSuperclass(owner))
        return {};
    const JavaClassFile &file = *javaClass->getClassFile();
    if (file.hasReleasedCode()) {
        Violation unknown;
        unknown.error = QString("The code of the class is too large to keep: the objects it "
                                "uses protected %1 %2.%3 on are not known")
                            .arg(isMethod ? "method" : "field", owner.toString(), name);
        unknown.undecided = true;
        return { unknown };
    }
    if (!receivers) {
        receivers = std::make_unique<ReceiverTypes>(
            file, [this](const QString &type) { return isSubclass(type); });
    }
    // Arrays pretend to have a public clone of their own.
    const bool arrayClone = isMethod && owner.getDescriptor() == QLatin1String("Ljava/lang/Object;")
        && name == QLatin1String("clone");
    QMap<QString, Violation> byError;
    QMap<QString, QStringList> objects;
    for (const ReceiverTypes::Use &use :
         receivers->find(owner.getDescriptor(), name, descriptor, isMethod)) {
        QStringList refused;
        for (const QString &type : use.types) {
            if (type.startsWith('[') ? !arrayClone : !isSubclass(type))
                refused << TypeDescriptor::fromMungedClassDescriptorName(type).toString();
        }
        if (refused.isEmpty() && use.undecided.isEmpty())
            continue;
        const QString error = errorOf(use, file.major_version);
        Violation &violation = byError[error];
        violation.error = error;
        const method_info *method = file.methods.at(use.method);
        violation.origins.add({ DependencyOrigins::P_CODE,
                                file.getMethodName(method) + file.getMethodDescriptor(method),
                                use.line });
        for (const QString &type : refused) {
            if (!objects[error].contains(type))
                objects[error] << type;
        }
    }
    QList<Violation> violations;
    for (auto it = byError.begin(); it != byError.end(); ++it) {
        if (!objects.value(it.key()).isEmpty()) {
            it->cause = QString("protected %1 of %2, another package: %3 may use it only on a %3 "
                                "or a subclass, not on %4")
                            .arg(isMethod ? "method" : "field",
                                 declaring.getName().toString(),
                                 cls.getName().toString(),
                                 objects.value(it.key()).join(", "));
        }
        violations << *it;
    }
    return violations;
}

bool ProtectedReceivers::isSubclass(const QString &internalName)
{
    const auto known = subclasses.constFind(internalName);
    if (known != subclasses.constEnd())
        return known.value();
    const TypeDescriptor type = TypeDescriptor::fromMungedClassDescriptorName(internalName);
    const Class *found = type.isClass() ? access.loadClass(type.getDescriptor()) : nullptr;
    // A class that cannot be loaded fails verification as well.
    const bool answer = type == cls.getName() || (found && isInstanceOf(access, *found, cls));
    subclasses.insert(internalName, answer);
    return answer;
}

// Only a reference to a superclass, not to the class itself or a subclass, is checked.
bool ProtectedReceivers::isSuperclass(const TypeDescriptor &owner)
{
    QSet<QString> seen;
    const Class *current = &cls;
    for (int i = 0; current && current->hasParent() && i < maxSupertypes; ++i) {
        const TypeDescriptor parent = current->getParent();
        if (parent == owner)
            return true;
        if (seen.contains(parent.getDescriptor()))
            return false;
        seen.insert(parent.getDescriptor());
        current = access.loadClass(parent.getDescriptor());
    }
    return false;
}
