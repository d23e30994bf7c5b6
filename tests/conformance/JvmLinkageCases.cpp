// The cases of resolution and access: the member matrix, class constants, shapes, the order of
// resolution and the default package. How a case is written is said at the top of JvmCases.cpp.

#include "JvmCases.h"

namespace {

// Where the tester is meant to differ from the JVM.
const char *const lazyResolution
    = "a reference is judged although the JVM resolves it only when it runs (a catch type is "
      "checked for access only when an exception reaches it)";
const char *const callerUnseen
    = "a concrete class left with an abstract method fails although nothing calls it: who calls "
      "it (the platform too) is not to be seen in the class files";

// --- The member matrix -----------------------------------------------------------------------

/// A member of a.Base, public in the first version and of the case's permission in the second.
struct MemberKind
{
    const char *name;
    /// Its declaration, "%1" for the permission.
    const char *declaration;
    /// A use through class "%1".
    const char *use;
};

const MemberKind memberKinds[] = {
    { "InstanceField", "%1 int f;", "int v = new %1().f;" },
    { "StaticField", "%1 static int f;", "int v = %1.f;" },
    { "InstanceMethod", "%1 void m() {}", "new %1().m();" },
    { "StaticMethod", "%1 static void m() {}", "%1.m();" },
};

const char *const permissions[] = { "Private", "Package", "Protected", "Public" };

/// Who uses the member of a.Base, and through which class: the class that declares it, the user
/// itself, or a subclass of a.Base beside it (c.Mid in a third package, b.Mid in the user's).
struct Relation
{
    const char *name;
    const char *package;
    /// "extends @.a.Base" or nothing.
    const char *extends;
    const char *through;
};

const Relation relations[] = {
    { "FromItsPackage", "a", "", "Base" },
    { "FromASubclassInItsPackageThroughItself", "a", "extends Base", "User" },
    { "FromItsPackageThroughASubclassElsewhere", "a", "", "@.c.Mid" },
    { "FromAnotherPackage", "b", "", "@.a.Base" },
    { "FromAnotherPackageThroughASubclassThere", "b", "", "Mid" },
    { "FromASubclassElsewhereThroughItself", "b", "extends @.a.Base", "User" },
    { "FromASubclassElsewhereThroughAnotherSubclass", "b", "extends @.a.Base", "@.c.Mid" },
};

QString permissionWord(const QString &permission)
{
    return permission == "Package" ? QString() : permission.toLower();
}

JvmCase memberCase(const QString &permission, const MemberKind &kind, const Relation &relation)
{
    const QString declaration
        = QString(kind.declaration).arg("@{public|" + permissionWord(permission) + "}@");
    return {
        permission + kind.name + relation.name,
        {},
        { { "@/a/Base.java",
            QString("package @.a; public class Base { public Base() {} %1 }").arg(declaration) },
          { "@/c/Mid.java", "package @.c; public class Mid extends @.a.Base {}" },
          { "@/b/Mid.java", "package @.b; public class Mid extends @.a.Base {}" } },
        { { QString("@/%1/User.java").arg(relation.package),
            QString("package @.%1; public class User %2 { public static void run() { %3 } }")
                .arg(
                    relation.package, relation.extends, QString(kind.use).arg(relation.through)) } }
    };
}

/// Every permission of every kind of member, for every way a class may stand to the class that
/// declares it and reach it.
QList<JvmCase> memberMatrix()
{
    QList<JvmCase> cases;
    for (const char *permission : permissions) {
        for (const MemberKind &kind : memberKinds) {
            for (const Relation &relation : relations)
                cases << memberCase(permission, kind, relation);
        }
    }
    return cases;
}

// --- Class constants, shapes, resolution order, the default package ---------------------------

/// A class b.User declared as given, whose run() holds this body, with further members.
JvmCase::Source user(const QString &declaration, const QString &body, const QString &members = {})
{
    return { "@/b/User.java",
             QString("package @.b; public %1 { public static void run() { %2 } %3 }")
                 .arg(declaration, body, members) };
}

const JvmCase::Source hiddenClass {
    "@/a/Hidden.java", "package @.a; @{public|}@ class Hidden { public Hidden() {} }"
};

/// Every CONSTANT_Class the code resolves, against a class that is no longer public; types only
/// named in descriptors are never checked for access.
QList<JvmCase> classConstants()
{
    const JvmCase::Source thrower {
        "@/a/Thrower.java",
        "package @.a; public class Thrower { public static void t(boolean b) { if (b) throw new "
        "Problem(); } }"
    };
    const JvmCase::Source problem {
        "@/a/Problem.java", "package @.a; @{public|}@ class Problem extends RuntimeException {}"
    };
    const JvmCase::Source takesHidden { "@/a/Takes.java",
                                        "package @.a; public class Takes { public static void "
                                        "take(Hidden h) {} public static Hidden none() { return "
                                        "null; } }" };
    return {
        { "ArrayClassLiteralOfAPackageClass",
          {},
          { hiddenClass },
          { userIn("b", "Object c = @.a.Hidden[].class;") } },
        { "NewOfAPackageClass", {}, { hiddenClass }, { userIn("b", "new @.a.Hidden();") } },
        { "ArrayOfAPackageClass",
          {},
          { hiddenClass },
          { userIn("b", "Object a = new @.a.Hidden[1];") } },
        { "ArraysOfAPackageClass",
          {},
          { hiddenClass },
          { userIn("b", "Object a = new @.a.Hidden[1][1];") } },
        { "CastToAnArrayOfAPackageClass",
          {},
          { hiddenClass },
          { userIn("b", "Object o = new Object[0]; Object a = (@.a.Hidden[]) o;") } },
        { "InstanceofAnArrayOfAPackageClass",
          {},
          { hiddenClass },
          { userIn("b", "Object o = new Object[0]; boolean is = o instanceof @.a.Hidden[];") } },
        { "CastOfNullToAPackageClass",
          lazyResolution,
          { hiddenClass },
          { userIn("b", "Object o = null; Object a = (@.a.Hidden) o;") } },
        { "CaughtPackageClassThrown",
          {},
          { thrower, problem },
          { userIn("b", "try { @.a.Thrower.t(true); } catch (@.a.Problem e) {}") } },
        { "CaughtPackageClassNeverThrown",
          lazyResolution,
          { thrower, problem },
          { userIn("b", "try { @.a.Thrower.t(false); } catch (@.a.Problem e) {}") } },
        { "CaughtClassRemoved",
          {},
          { { "@/a/Thrower.java",
              "package @.a; public class Thrower { public static void t() {} }" },
            { "@/a/Problem.java",
              "@{package @.a; public class Problem extends RuntimeException {}|}@" } },
          { userIn("b", "try { @.a.Thrower.t(); } catch (@.a.Problem e) {}") } },
        { "PackageClassOnlyInASignature",
          {},
          { hiddenClass, takesHidden },
          { userIn("b", "@.a.Takes.take(null); Object h = @.a.Takes.none();") } },
        { "PackageClassAsTheTypeOfAField",
          {},
          { hiddenClass,
            { "@/a/Holder.java", "package @.a; public class Holder { public Hidden h; }" } },
          { userIn("b", "Object h = new @.a.Holder().h;") } },
    };
}

/// Members and classes that changed shape between the versions.
QList<JvmCase> shapes()
{
    return {
        { "StaticFieldMadeInstance",
          {},
          { { "@/a/Base.java", "package @.a; public class Base { public @{static|}@ int f; }" } },
          { userIn("b", "int f = @.a.Base.f;") } },
        { "InstanceFieldMadeStatic",
          {},
          { { "@/a/Base.java", "package @.a; public class Base { public @{|static}@ int f; }" } },
          { userIn("b", "new @.a.Base().f = 1;") } },
        { "StaticMethodMadeInstance",
          {},
          { { "@/a/Base.java",
              "package @.a; public class Base { public @{static|}@ void m() {} }" } },
          { userIn("b", "@.a.Base.m();") } },
        { "InstanceMethodMadeStatic",
          {},
          { { "@/a/Base.java",
              "package @.a; public class Base { public @{|static}@ void m() {} }" } },
          { userIn("b", "new @.a.Base().m();") } },
        { "ClassMadeInterface",
          {},
          { { "@/a/Lib.java",
              "package @.a; public @{abstract class|interface}@ Lib { @{public abstract|}@ void "
              "m(); }" } },
          { userIn("b", "@.a.Lib l = null; try { l.m(); } catch (NullPointerException e) {}") } },
        { "InterfaceMadeClass",
          {},
          { { "@/a/Lib.java",
              "package @.a; public @{interface|abstract class}@ Lib { @{|public abstract}@ void "
              "m(); }" } },
          { userIn("b", "@.a.Lib l = null; try { l.m(); } catch (NullPointerException e) {}") } },
        { "StaticInterfaceMethodOfAClass",
          {},
          { { "@/a/Lib.java",
              "package @.a; public @{interface|class}@ Lib { @{|public}@ static void s() {} }" } },
          { userIn("b", "@.a.Lib.s();") } },
        { "NewOfAnAbstractClass",
          {},
          { { "@/a/Base.java", "package @.a; public @{|abstract}@ class Base {}" } },
          { userIn("b", "new @.a.Base();") } },
        { "NewOfAnInterface",
          {},
          { { "@/a/Base.java", "package @.a; public @{class|interface}@ Base {}" } },
          { userIn("b", "new @.a.Base();") } },
        { "WriteOfAFinalField",
          {},
          { { "@/a/Base.java",
              "package @.a; public class Base { public @{|final}@ int f@{| = 0}@; }" } },
          { userIn("b", "new @.a.Base().f = 1;") } },
        { "WriteOfAFinalStaticField",
          {},
          { { "@/a/Base.java",
              "package @.a; public class Base { public static @{|final}@ int f@{| = 0}@; }" } },
          { userIn("b", "@.a.Base.f = 1;") } },
        { "WriteOfAnInheritedFinalField",
          {},
          { { "@/a/Base.java",
              "package @.a; public class Base { public @{|final}@ int f@{| = 0}@; }" } },
          { user("class User extends @.a.Base", "new User().f = 1;") } },
        { "ReadOfAFinalField",
          {},
          { { "@/a/Base.java",
              "package @.a; public class Base { public @{|final}@ int f@{| = 0}@; }" } },
          { userIn("b", "int f = new @.a.Base().f;") } },
        { "ExtendsAFinalClass",
          {},
          { { "@/a/Base.java", "package @.a; public @{|final}@ class Base {}" } },
          { user("class User extends @.a.Base", "new User();") } },
        { "ExtendsAnInterface",
          {},
          { { "@/a/Base.java", "package @.a; public @{class|interface}@ Base {}" } },
          { user("class User extends @.a.Base", "new User();") } },
        { "ImplementsAClass",
          {},
          { { "@/a/Face.java", "package @.a; public @{interface|class}@ Face {}" } },
          { user("class User implements @.a.Face", "new User();") } },
        { "OverridesAFinalMethod",
          {},
          { { "@/a/Base.java",
              "package @.a; public class Base { public @{|final}@ void m() {} }" } },
          { user("class User extends @.a.Base", "new User();", "public void m() {}") } },
        { "OverridesAFinalPackageMethodOfAnotherPackage",
          {},
          { { "@/a/Base.java",
              "package @.a; public class Base { @{public|final}@ void m() {} }" } },
          { user("class User extends @.a.Base", "new User();", "public void m() {}") } },
        { "CallsAMethodMadeAbstract",
          {},
          { { "@/a/Base.java",
              "package @.a; public @{|abstract}@ class Base { public @{|abstract}@ void m() "
              "@{{}|;}@ }" } },
          { user("class User extends @.a.Base", "new User().m();") } },
        { "CallsADefaultMethodMadeAbstract",
          {},
          { { "@/a/Face.java",
              "package @.a; public interface Face { @{default|}@ void m() @{{}|;}@ }" } },
          { user("class User implements @.a.Face", "@.a.Face f = new User(); f.m();") } },
        { "LeavesANewAbstractMethodUncalled",
          callerUnseen,
          { { "@/a/Face.java", "package @.a; public interface Face { @{|void m();}@ }" } },
          { user("class User implements @.a.Face", "new User();") } },
        { "AbstractMethodImplementedByADefault",
          {},
          { { "@/a/Face.java", "package @.a; public interface Face { void m(); }" },
            { "@/a/Both.java",
              "package @.a; public interface Both extends Face { @{|default void m() {}}@ }" },
            { "@/a/Base.java",
              "package @.a; public abstract class Base implements Face { @{public void m() "
              "{}|}@ }" } },
          { user("class User extends @.a.Base implements @.a.Both",
                 "@.a.Face f = new User(); f.m();") } },
        { "ConstructorOnlyInTheSuperclass",
          {},
          { { "@/a/Base.java", "package @.a; public class Base { public Base(int i) {} }" },
            { "@/a/Kid.java",
              "package @.a; public class Kid extends Base { @{public Kid(int i) { super(i); "
              "}|public Kid() { super(0); }}@ }" } },
          { userIn("b", "new @.a.Kid(1);") } },
    };
}

/// Where the JVM finds a member: fields in superinterfaces before superclasses, methods in
/// superclasses before superinterfaces, static interface methods only in their interface.
QList<JvmCase> resolutionOrder()
{
    return {
        { "PrivateSuperclassMethodBeforeADefaultMethod",
          {},
          { { "@/a/B.java", "package @.a; public class B { @{public|private}@ void m() {} }" },
            { "@/a/I2.java", "package @.a; public interface I2 { default void m() {} }" },
            { "@/a/C.java", "package @.a; public class C extends B implements I2 {}", true } },
          { userIn("b", "new @.a.C().m();") } },
        { "InterfaceFieldBeforeAPrivateSuperclassField",
          {},
          { { "@/a/B.java", "package @.a; public class B { @{public|private}@ static int f; }" },
            { "@/a/I.java", "package @.a; public interface I { int f = 1; }" },
            { "@/a/C.java",
              "package @.a; public class C extends B implements I { @{public static int f;|}@ "
              "}" } },
          { userIn("b", "int f = @.a.C.f;") } },
        { "StaticMethodOfASuperclass",
          {},
          { { "@/a/B.java", "package @.a; public class B { public static void s() {} }" },
            { "@/a/C.java",
              "package @.a; public class C extends B { @{public static void s() {}|}@ }" } },
          { userIn("b", "@.a.C.s();") } },
        { "StaticInterfaceMethodThroughAnImplementingClass",
          {},
          { { "@/a/J.java", "package @.a; public interface J { static void s() {} }" },
            { "@/a/Impl.java",
              "package @.a; public class Impl implements J { @{public static void s() {}|}@ "
              "}" } },
          { userIn("b", "@.a.Impl.s();") } },
        { "StaticInterfaceMethodThroughASubinterface",
          {},
          { { "@/a/J.java", "package @.a; public interface J { static void s() {} }" },
            { "@/a/Sub.java",
              "package @.a; public interface Sub extends J { @{static void s() {}|}@ }" } },
          { userIn("b", "@.a.Sub.s();") } },
        { "DefaultMethodThroughASubinterface",
          {},
          { { "@/a/J.java", "package @.a; public interface J { default void d() {} }" },
            { "@/a/Sub.java",
              "package @.a; public interface Sub extends J { @{default void d() {}|}@ }" } },
          { user("class User implements @.a.Sub", "@.a.Sub s = new User(); s.d();") } },
        { "ObjectMethodThroughAnInterface",
          {},
          { { "@/a/J.java", "package @.a; public interface J {}" } },
          { user("class User implements @.a.J", "@.a.J j = new User(); j.hashCode();") } },
        { "FieldOfAnInterfaceOfTheSuperclassThroughItself",
          {},
          { { "@/a/I.java", "package @.a; public interface I { Object K = new Object(); }" },
            { "@/a/B.java", "package @.a; public class B implements I {}" } },
          { user("class User extends @.a.B", "Object k = K;") } },
    };
}

/// The default package is one package with a library class of the default package (a class of
/// the platform in the default package is another case: the platform's packages are never the
/// component's).
QList<JvmCase> defaultPackage()
{
    return {
        { "DefaultPackageUsesAPackageMemberOfItsLibrary",
          {},
          { { "DefaultPackageLibrary.java",
              "public class DefaultPackageLibrary { @{public|}@ static void m() {} }" } },
          { { "DefaultPackageUser.java",
              "public class DefaultPackageUser { public static void run() { "
              "DefaultPackageLibrary.m(); } }" } } },
    };
}

} // namespace

QList<JvmCase> linkageCases()
{
    return memberMatrix() + classConstants() + shapes() + resolutionOrder() + defaultPackage();
}
