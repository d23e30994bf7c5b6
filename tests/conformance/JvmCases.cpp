// The cases of the differential test against the JVM (JvmAgreementTest.cpp).
//
// Adding a case: append a JvmCase to the list below (or to a list that jvmCases() joins).
// - The name, in UpperCamelCase, lowercased is the root of the case's packages; every package of
//   the case lies below it. Write "@." for that root in sources ("package @.a;", "@.a.Base") and
//   "@/" in paths ("@/a/Base.java"). A class in the default package has no root: give it a name no
//   other case uses.
// - The library is written once for both versions: "@{first|second}@" is the text of the first
//   version and that of the second. A file whose text comes out empty in a version is not part of
//   it, so "@{...|}@" around a whole file drops it from the second version. A class that javac
//   refuses against the second version is kept as compiled with the first (keptFromFirst).
// - The user is compiled against the first version; its first class has `public static void
//   run()`, which the JVM calls with the second version in place. Make run() execute every
//   reference the case is about: the JVM resolves most of them only when they run.
// - The JVM's outcome is "runs" or the LinkageError that stopped it; any other throwable marks the
//   case as broken. Each class is verified whole, so a class holds one reference under test.
// - A user class that javac will not write (a call the compiler refuses) is crafted byte by byte;
//   `major` makes the user's classes those of a compiler before Java 6, without stack maps.
// - Leave `disagreement` empty when the tester should agree with the JVM. A case they do not agree
//   on yet names the reason there; once they agree, the test fails until the mark is removed.
// - JVM outcomes and the tester's failures are kept in tests/data/conformance/jvm-cases.txt;
//   rewrite it with JCT_UPDATE_GOLDEN=1 and read the difference.

#include "JvmCases.h"

#include "classfile/Opcodes.h"
#include "support/ClassFileBuilder.h"

namespace {

using namespace Opcodes;

/// A public class with `public static void run()` of this code.
QByteArray runnable(ClassFileBuilder &builder, const QByteArray &code)
{
    builder.addMethod(0x0009, "run", "()V", { builder.codeAttribute(code) });
    return builder.build();
}

/// A ClassLoader asks the system loader, another loader, for a class it has loaded: protected
/// in ClassLoader, of which it is a subclass, on a receiver that is not one of its own kind.
QByteArray findLoadedClassOfAnotherLoader(const QString &root)
{
    ClassFileBuilder builder(root + "/b/Loader", "java/lang/ClassLoader");
    const quint16 system = builder.methodRef(
        "java/lang/ClassLoader", "getSystemClassLoader", "()Ljava/lang/ClassLoader;");
    const quint16 name = builder.rawConstant(ByteWriter().u1(8).u2(builder.utf8("x")).data());
    const quint16 find = builder.methodRef(
        "java/lang/ClassLoader", "findLoadedClass", "(Ljava/lang/String;)Ljava/lang/Class;");
    return runnable(builder,
                    ByteWriter()
                        .u1(INVOKESTATIC)
                        .u2(system)
                        .u1(LDC)
                        .u1(name)
                        .u1(INVOKEVIRTUAL)
                        .u2(find)
                        .u1(POP)
                        .u1(RETURN)
                        .data());
}

/// A class clones an array (an int[1]) or a new Object through Object's protected clone: arrays
/// pretend to have a public clone of their own.
QByteArray cloneThroughObject(const QString &name, bool array)
{
    ClassFileBuilder builder(name);
    const quint16 clone = builder.methodRef("java/lang/Object", "clone", "()Ljava/lang/Object;");
    ByteWriter code;
    if (array) {
        code.u1(ICONST_1).u1(NEWARRAY).u1(T_INT);
    } else {
        code.u1(NEW)
            .u2(builder.classInfo("java/lang/Object"))
            .u1(DUP)
            .u1(INVOKESPECIAL)
            .u2(builder.methodRef("java/lang/Object", "<init>", "()V"));
    }
    return runnable(builder, code.u1(INVOKEVIRTUAL).u2(clone).u1(POP).u1(RETURN).data());
}

/// A subclass of a.Base, of an old compiler, stores a Base and then itself in a local, calling a
/// subroutine after each, and calls m() on the local after the second call: the subroutine never
/// writes the local, so it holds the object the second call left there.
QByteArray subroutineKeepsALocal(const QString &root)
{
    ClassFileBuilder builder(root + "/b/User", root + "/a/Base");
    builder.majorVersion = 49;
    const quint16 base = builder.classInfo(root + "/a/Base");
    const quint16 baseInit = builder.methodRef(root + "/a/Base", "<init>", "()V");
    const quint16 user = builder.classInfo(root + "/b/User");
    const quint16 userInit = builder.methodRef(root + "/b/User", "<init>", "()V");
    const quint16 m = builder.methodRef(root + "/a/Base", "m", "()V");
    builder.addMethod(
        0x0001,
        "<init>",
        "()V",
        { builder.codeAttribute(
            ByteWriter().u1(ALOAD_0).u1(INVOKESPECIAL).u2(baseInit).u1(RETURN).data()) });
    ByteWriter code;
    code.u1(NEW).u2(base).u1(DUP).u1(INVOKESPECIAL).u2(baseInit).u1(ASTORE_1); // 0 to 7
    code.u1(JSR).u2(19); // 8: to 27
    code.u1(NEW).u2(user).u1(DUP).u1(INVOKESPECIAL).u2(userInit).u1(ASTORE_1); // 11 to 18
    code.u1(JSR).u2(8); // 19: to 27
    code.u1(ALOAD_1).u1(INVOKEVIRTUAL).u2(m).u1(RETURN); // 22 to 26
    code.u1(ASTORE_2).u1(RET).u1(2); // 27: the subroutine
    return runnable(builder, code.data());
}

/// A class of the default package calls ArrayList's protected removeRange on a new list.
QByteArray removeRangeFromTheDefaultPackage(const QString &)
{
    ClassFileBuilder builder("DefaultPackageRemovesARange");
    const quint16 list = builder.classInfo("java/util/ArrayList");
    const quint16 init = builder.methodRef("java/util/ArrayList", "<init>", "()V");
    const quint16 removeRange = builder.methodRef("java/util/ArrayList", "removeRange", "(II)V");
    return runnable(builder,
                    ByteWriter()
                        .u1(NEW)
                        .u2(list)
                        .u1(DUP)
                        .u1(INVOKESPECIAL)
                        .u2(init)
                        .u1(ICONST_0)
                        .u1(ICONST_0)
                        .u1(INVOKEVIRTUAL)
                        .u2(removeRange)
                        .u1(RETURN)
                        .data());
}

/// A base class in package a whose members the second version makes protected, its constructor
/// too when asked.
JvmCase::Source protectedBase(bool constructor = false)
{
    return { "@/a/Base.java",
             QString(R"(package @.a;
public class Base {
    @{public|protected}@ int f;
    %1 Base() {}
    @{public|protected}@ void m() {}
    protected static void sm() {}
})")
                 .arg(constructor ? "@{public|protected}@" : "public") };
}

/// A user class b.User, a subclass of a.Base, whose run() holds this body; flag() is true, but
/// no compiler knows.
QList<JvmCase::Source> subclassUser(const QString &body)
{
    return { { "@/b/User.java",
               QString(R"(package @.b;
public class User extends @.a.Base {
    public static void run() {
        %1
    }
    static boolean flag() { return System.nanoTime() != 0; }
})")
                   .arg(body) },
             { "@/b/Below.java", "package @.b; public class Below extends User {}" } };
}

/// Where b.User uses the protected members of its superclass a.Base, the receiver decides: the
/// class itself or a subclass of it, or else a VerifyError.
QList<JvmCase> protectedReceivers()
{
    const QList<JvmCase::Source> library { protectedBase() };
    const QString join = "@.a.Base b; if (flag()) b = new User(); else b = new %1(); b.m();";
    return {
        { "ReceiverOfAFieldReadIsABase", {}, library, subclassUser("int f = new @.a.Base().f;") },
        { "ReceiverOfAFieldWriteIsABase", {}, library, subclassUser("new @.a.Base().f = 1;") },
        { "ReceiverOfAMethodIsABase", {}, library, subclassUser("new @.a.Base().m();") },
        { "ReceiverOfAConstructorIsABase",
          {},
          { protectedBase(true) },
          subclassUser("new @.a.Base();") },
        { "ReceiversAreTheUserAndItsSubclass",
          {},
          library,
          subclassUser("User u = new User(); u.m(); u.f = 1; new Below().m();") },
        { "ReceiverOfAStaticMethodIsNone", {}, library, subclassUser("@.a.Base.sm();") },
        // The stack map declares the variable as it is declared in the source; an older
        // compiler's class leaves the JVM to join the types of the branches.
        { "ReceiverIsAsDeclaredAtAJoin", {}, library, subclassUser(join.arg("Below")) },
        { "ReceiverOfAnOlderCompilerJoinsSubclasses",
          {},
          library,
          subclassUser(join.arg("Below")),
          {},
          49 },
        { "ReceiverOfAnOlderCompilersFieldReadIsABase",
          {},
          library,
          subclassUser("int f = new @.a.Base().f;"),
          {},
          49 },
        { "ReceiverOfAnOlderCompilersConstructorIsABase",
          {},
          { protectedBase(true) },
          subclassUser("new @.a.Base();"),
          {},
          49 },
        { "ReceiverOfAnOlderCompilerJoinsABase",
          {},
          library,
          subclassUser(join.arg("@.a.Base")),
          {},
          49 },
        { "ReceiverOfAFieldOfTheBaseIsTheMiddleClass",
          {},
          { protectedBase(), { "@/a/Mid.java", "package @.a; public class Mid extends Base {}" } },
          { { "@/b/User.java", R"(package @.b;
public class User extends @.a.Mid {
    public static void run() { int f = new @.a.Mid().f; }
})" } } },
        // A protected member of the user's own package, through a superclass of another: the
        // verifier leaves it to the access rules.
        { "ReceiverOfAMemberOfTheUsersPackageIsAnyObject",
          {},
          { { "@/b/Top.java", "package @.b; public class Top { protected void m() {} }" },
            { "@/a/Mid.java", "package @.a; public class Mid extends @.b.Top {}" } },
          { { "@/b/User.java", R"(package @.b;
public class User extends @.a.Mid {
    public static void run() { new @.a.Mid().m(); }
})" } } },
        { "ReceiverOfObjectsCloneIsAnArray",
          {},
          {},
          {},
          { { "@/b/User",
              [](const QString &root) { return cloneThroughObject(root + "/b/User", true); } } } },
        { "ReceiverOfObjectsCloneIsAnObject",
          {},
          {},
          {},
          { { "@/b/User",
              [](const QString &root) { return cloneThroughObject(root + "/b/User", false); } } } },
        { "ReceiverAfterASubroutineIsWhatTheCallLeft",
          {},
          { protectedBase() },
          {},
          { { "@/b/User", subroutineKeepsALocal } } },
        { "ReceiverOfFindLoadedClassIsAnotherLoader",
          {},
          {},
          {},
          { { "@/b/Loader", findLoadedClassOfAnotherLoader } } },
    };
}

/// The first cases of resolution and access, one for each way the tester and the JVM parted; the
/// member matrix and the others are in JvmLinkageCases.cpp.
QList<JvmCase> linkage()
{
    return {
        { "ProtectedFieldThroughASubclassInTheUsersPackage",
          {},
          { { "@/a/Base.java", "package @.a; public class Base { @{public|protected}@ int f; }" },
            { "@/b/Mid.java", "package @.b; public class Mid extends @.a.Base {}" } },
          { userIn("b", "int f = new Mid().f;") } },
        { "PackageFieldThroughASubclassInAnotherPackage",
          {},
          { { "@/a/Base.java", "package @.a; public class Base { @{public|}@ int f; }" },
            { "@/c/Mid.java", "package @.c; public class Mid extends @.a.Base {}" } },
          { userIn("a", "int f = new @.c.Mid().f;") } },
        { "PrivateFieldOfTheSuperclassThroughThis",
          {},
          { { "@/a/Base.java", "package @.a; public class Base { @{public|private}@ int f; }" } },
          { { "@/b/Sub.java", R"(package @.b;
public class Sub extends @.a.Base {
    public static void run() { new Sub().read(); }
    void read() { int f = this.f; }
})" } } },
        { "ClassLiteralOfAPackageClass",
          {},
          { { "@/a/Hidden.java", "package @.a; @{public|}@ class Hidden {}" } },
          { userIn("b", "Object c = @.a.Hidden.class;") } },
        { "FieldOfAnotherType",
          {},
          { { "@/a/Base.java", "package @.a; public class Base { public @{int|long}@ f; }" } },
          { userIn("b", "int f = new @.a.Base().f;") } },
        { "ProtectedSuperclassMethodBeforeADefaultMethod",
          {},
          { { "@/c/B.java", "package @.c; public class B { @{public|protected}@ void m() {} }" },
            { "@/a/I2.java", "package @.a; public interface I2 { default void m() {} }" },
            { "@/a/C.java", "package @.a; public class C extends @.c.B implements I2 {}", true } },
          { userIn("a", "new C().m();") } },
        { "DefaultPackageRemovesARange",
          {},
          {},
          {},
          { { "DefaultPackageRemovesARange", removeRangeFromTheDefaultPackage } } },
    };
}

} // namespace

JvmCase::Source userIn(const QString &package, const QString &body)
{
    return { QString("@/%1/User.java").arg(package),
             QString("package @.%1; public class User { public static void run() { %2 } }")
                 .arg(package, body) };
}

QList<JvmCase> jvmCases()
{
    return protectedReceivers() + linkage() + linkageCases();
}
