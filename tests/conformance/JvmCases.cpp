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

#include "support/ClassFileBuilder.h"

namespace {

const char *const receiverCheck = "the verifier's check of protected receivers is missing";

// u1 opcodes of the crafted code.
enum Opcode : quint8 {
    ICONST_0 = 0x03,
    LDC = 0x12,
    POP = 0x57,
    DUP = 0x59,
    RETURN = 0xb1,
    INVOKEVIRTUAL = 0xb6,
    INVOKESPECIAL = 0xb7,
    INVOKESTATIC = 0xb8,
    NEW = 0xbb
};

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
        { "ReceiverOfAFieldReadIsABase",
          receiverCheck,
          library,
          subclassUser("int f = new @.a.Base().f;") },
        { "ReceiverOfAFieldWriteIsABase",
          receiverCheck,
          library,
          subclassUser("new @.a.Base().f = 1;") },
        { "ReceiverOfAMethodIsABase", receiverCheck, library, subclassUser("new @.a.Base().m();") },
        { "ReceiverOfAConstructorIsABase",
          receiverCheck,
          { protectedBase(true) },
          subclassUser("new @.a.Base();") },
        { "ReceiversAreTheUserAndItsSubclass",
          {},
          library,
          subclassUser("User u = new User(); u.m(); u.f = 1; new Below().m();") },
        { "ReceiverOfAStaticMethodIsNone", {}, library, subclassUser("@.a.Base.sm();") },
        // The stack map declares the variable as it is declared in the source; an older
        // compiler's class leaves the JVM to join the types of the branches.
        { "ReceiverIsAsDeclaredAtAJoin", receiverCheck, library, subclassUser(join.arg("Below")) },
        { "ReceiverOfAnOlderCompilerJoinsSubclasses",
          {},
          library,
          subclassUser(join.arg("Below")),
          {},
          49 },
        { "ReceiverOfAnOlderCompilerJoinsABase",
          receiverCheck,
          library,
          subclassUser(join.arg("@.a.Base")),
          {},
          49 },
        { "ReceiverOfFindLoadedClassIsAnotherLoader",
          receiverCheck,
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
