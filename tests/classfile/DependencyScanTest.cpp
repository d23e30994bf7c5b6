#include "ClassFileTestSupport.h"

#include <gtest/gtest.h>

#include <initializer_list>

namespace {

QByteArray code(std::initializer_list<int> bytes)
{
    QByteArray out;
    for (int byte : bytes)
        out.append(char(byte));
    return out;
}

int hi(quint16 index)
{
    return index >> 8;
}

int lo(quint16 index)
{
    return index & 0xff;
}

const int GETSTATIC = 0xb2;
const int INVOKEVIRTUAL = 0xb6;
const int NEW = 0xbb;
const int RETURN = 0xb1;
const QString CODE_ERROR = QStringLiteral("Error - Error parsing code segment");

/// A class whose one method runs `body`, with pool entries for the body to use.
struct CodeCase
{
    ClassFileBuilder builder;
    quint16 out = builder.fieldRef(QStringLiteral("java/lang/System"),
                                   QStringLiteral("out"),
                                   QStringLiteral("Ljava/io/PrintStream;"));
    /// A class that only code can make a dependency.
    quint16 list = builder.classInfo(QStringLiteral("java/util/ArrayList"));

    std::unique_ptr<JavaClassFile> run(const QByteArray &body)
    {
        builder.addMethodWithCode(QStringLiteral("m"), body);
        return parse(builder);
    }
};

const QString SYSTEM_OUT = QStringLiteral("Ljava/lang/System;outLjava/io/PrintStream;");

} // namespace

TEST(DependencyScan, DeclarationsPoolAndCodeMeetInThreeSortedLists)
{
    ClassFileBuilder builder(QStringLiteral("p/A"), QStringLiteral("p/Base"));
    builder.addInterface(builder.classInfo(QStringLiteral("java/lang/Runnable")));
    builder.addField(0, QStringLiteral("lists"), QStringLiteral("[Ljava/util/List;"));
    builder.addField(0, QStringLiteral("numbers"), QStringLiteral("[I"));
    builder.addMethod(0x0401,
                      QStringLiteral("f"),
                      QStringLiteral("(I[ILjava/util/Map;)Ljava/lang/String;"),
                      { builder.exceptionsAttribute(
                          { builder.classInfo(QStringLiteral("java/io/IOException")) }) });
    const quint16 println = builder.methodRef(QStringLiteral("java/io/PrintStream"),
                                              QStringLiteral("println"),
                                              QStringLiteral("(Ljava/lang/Object;)V"));
    const quint16 out = builder.fieldRef(QStringLiteral("java/lang/System"),
                                         QStringLiteral("out"),
                                         QStringLiteral("Ljava/io/PrintStream;"));
    builder.fieldRef(QStringLiteral("java/lang/System"),
                     QStringLiteral("out"),
                     QStringLiteral("Ljava/io/PrintStream;"));
    const quint16 list = builder.classInfo(QStringLiteral("java/util/ArrayList"));
    builder.addMethodWithCode(QStringLiteral("m"),
                              code({ GETSTATIC,
                                     hi(out),
                                     lo(out),
                                     NEW,
                                     hi(list),
                                     lo(list),
                                     INVOKEVIRTUAL,
                                     hi(println),
                                     lo(println),
                                     RETURN }));
    const auto classFile = parse(builder);
    ASSERT_TRUE(classFile->checkLog.messages.isEmpty())
        << classFile->checkLog.messages.join('\n').toStdString();
    EXPECT_EQ(printedClasses(*classFile),
              QStringList({ "java.io.IOException",
                            "java.io.PrintStream",
                            "java.lang.Object",
                            "java.lang.Runnable",
                            "java.lang.String",
                            "java.lang.System",
                            "java.util.ArrayList",
                            "java.util.List",
                            "java.util.Map",
                            "p.Base" }));
    EXPECT_EQ(fieldKeys(*classFile), QStringList { SYSTEM_OUT });
    EXPECT_EQ(methodKeys(*classFile),
              QStringList { "Ljava/io/PrintStream;println(Ljava/lang/Object;)V" });
}

TEST(DependencyScan, OwnMembersAreNoDependenciesButTheOwnClassIs)
{
    ClassFileBuilder builder(QStringLiteral("p/A"));
    const quint16 field
        = builder.fieldRef(QStringLiteral("p/A"), QStringLiteral("x"), QStringLiteral("I"));
    const quint16 method
        = builder.methodRef(QStringLiteral("p/A"), QStringLiteral("m"), QStringLiteral("()V"));
    builder.addField(0x0008, QStringLiteral("x"), QStringLiteral("I"));
    builder.addMethodWithCode(QStringLiteral("m"),
                              code({ GETSTATIC,
                                     hi(field),
                                     lo(field),
                                     0x57,
                                     INVOKEVIRTUAL,
                                     hi(method),
                                     lo(method),
                                     RETURN }));
    const auto classFile = parse(builder);
    EXPECT_TRUE(classFile->checkLog.messages.isEmpty());
    EXPECT_TRUE(classFile->getDependentFields().isEmpty());
    EXPECT_TRUE(classFile->getDependentMethods().isEmpty());
    EXPECT_EQ(printedClasses(*classFile), QStringList({ "java.lang.Object", "p.A" }));
}

TEST(DependencyScan, EnumSuperConstructorCallIsOnlySkippedInEnums)
{
    const QString enumInit = QStringLiteral("Ljava/lang/Enum;<init>(Ljava/lang/String;I)V");
    for (const char *parent : { "java/lang/Enum", "java/lang/Object" }) {
        ClassFileBuilder builder(QStringLiteral("p/E"), QString::fromLatin1(parent));
        builder.methodRef(QStringLiteral("java/lang/Enum"),
                          QStringLiteral("<init>"),
                          QStringLiteral("(Ljava/lang/String;I)V"));
        builder.methodRef(
            QStringLiteral("java/lang/Enum"), QStringLiteral("<init>"), QStringLiteral("()V"));
        const auto classFile = parse(builder);
        const QStringList methods = methodKeys(*classFile);
        EXPECT_EQ(methods.contains(enumInit), QLatin1String(parent) == "java/lang/Object")
            << parent;
        EXPECT_TRUE(methods.contains(QStringLiteral("Ljava/lang/Enum;<init>()V")));
    }
}

TEST(DependencyScan, ArrayOwnersAndArrayClassesAddOnlyTheirElementClass)
{
    CodeCase arrays;
    ClassFileBuilder &builder = arrays.builder;
    const quint16 clone = builder.methodRef(QStringLiteral("[Ljava/lang/String;"),
                                            QStringLiteral("clone"),
                                            QStringLiteral("()Ljava/lang/Object;"));
    const quint16 cast = builder.classInfo(QStringLiteral("[Ljava/lang/Integer;"));
    const quint16 element = builder.classInfo(QStringLiteral("java/lang/Long"));
    const quint16 multi = builder.classInfo(QStringLiteral("[[Ljava/lang/Short;"));
    const auto classFile = arrays.run(code({ 0x01,
                                             INVOKEVIRTUAL,
                                             hi(clone),
                                             lo(clone), // aconst_null; clone on String[]
                                             0xc0,
                                             hi(cast),
                                             lo(cast), // checkcast Integer[]
                                             0x03,
                                             0xbd,
                                             hi(element),
                                             lo(element), // iconst_0; anewarray Long
                                             0x03,
                                             0x03,
                                             0xc5,
                                             hi(multi),
                                             lo(multi),
                                             2, // multianewarray Short[][]
                                             RETURN }));
    EXPECT_TRUE(classFile->checkLog.messages.isEmpty())
        << classFile->checkLog.messages.join('\n').toStdString();
    EXPECT_TRUE(classFile->getDependentMethods().isEmpty());
    EXPECT_EQ(printedClasses(*classFile),
              QStringList({ "java.io.PrintStream",
                            "java.lang.Long",
                            "java.lang.Object",
                            "java.lang.String",
                            "java.lang.System" }));
    // The class-kind check of `new` and the like ignores the array classes of the pool.
    EXPECT_FALSE(printedClasses(*classFile).contains("java.lang.Integer"));
}

TEST(DependencyScan, MalformedReferencesNameEveryFailedPart)
{
    ClassFileBuilder builder;
    const quint16 system = builder.classInfo(QStringLiteral("java/lang/System"));
    const quint16 object = builder.classInfo(QStringLiteral("java/lang/Object"));
    const quint16 text = builder.utf8(QStringLiteral("out"));
    const quint16 descriptor = builder.utf8(QStringLiteral("I"));
    const quint16 integer = builder.rawConstant(ByteWriter().u1(3).u4(0).data());
    const quint16 goodType = builder.nameAndType(QStringLiteral("out"), QStringLiteral("I"));
    const quint16 typeNoName = builder.rawConstant(ByteWriter().u1(12).u2(0).u2(descriptor).data());
    const quint16 typeIntDescriptor
        = builder.rawConstant(ByteWriter().u1(12).u2(text).u2(integer).data());
    const quint16 typeIntName = builder.rawConstant(ByteWriter().u1(12).u2(integer).u2(900).data());
    builder.referenceOfIndices(9, 0, goodType);
    builder.referenceOfIndices(9, text, goodType);
    builder.referenceOfIndices(9, system, 0);
    builder.referenceOfIndices(9, system, text);
    builder.referenceOfIndices(9, system, typeNoName);
    builder.referenceOfIndices(9, system, typeIntDescriptor);
    builder.referenceOfIndices(10, object, typeIntName);
    builder.referenceOfIndices(11, 999, goodType);
    const QString field
        = QStringLiteral("Error - Malformed field reference. Class: %1 Field: %2 Descriptor: %3");
    EXPECT_EQ(
        parse(builder)->checkLog.messages,
        QStringList({ field.arg("invalid class index", "out", "I"),
                      field.arg("class index is not class info", "out", "I"),
                      field.arg("java/lang/System",
                                "invalid name and type index",
                                "invalid name and type index"),
                      field.arg("java/lang/System",
                                "name and type index is not name and type info",
                                "name and type index is not name and type info"),
                      field.arg("java/lang/System", "invalid field name index", "I"),
                      field.arg("java/lang/System", "out", "field descriptor info is not a string"),
                      "Error - Malformed method reference. Class: Ljava/lang/Object; Method: "
                      "method name info is not a string "
                      "Method Signature: invalid method signature index",
                      "Error - Malformed interface method reference. Class: invalid class index "
                      "Method: out Method Signature: I" }));
}

TEST(DependencyScan, MethodsWithoutCode)
{
    ClassFileBuilder builder;
    builder.addMethod(0x0401, QStringLiteral("abstractOne"), QStringLiteral("()V"));
    builder.addMethod(0x0101, QStringLiteral("nativeOne"), QStringLiteral("()V"));
    builder.addMethod(0x0001, QStringLiteral("broken"), QStringLiteral("()V"));
    builder.addMethod(
        0x0001, QStringLiteral("empty"), QStringLiteral("()V"), { builder.codeAttribute({}) });
    EXPECT_EQ(parse(builder)->checkLog.messages,
              QStringList { "Error - broken has no code segment but is not abstract" });
}

TEST(DependencyScan, SwitchTablesArePaddedFromTheStartOfTheCode)
{
    // Each switch is followed by `new ArrayList`: found only when the scan resumes after it.
    const auto afterSwitch = [](CodeCase &c, QByteArray body) {
        body += code({ NEW, hi(c.list), lo(c.list), RETURN });
        return c.run(body);
    };
    const QByteArray table = code({ 0, 0, 0, 9, 0, 0, 0, 1, 0, 0, 0, 2, 0, 0, 0, 7, 0, 0, 0, 8 });
    const QByteArray lookup
        = code({ 0, 0, 0, 9, 0, 0, 0, 2, 0, 0, 0, 1, 0, 0, 0, 7, 0, 0, 0, 5, 0, 0, 0, 8 });
    const QList<QByteArray> switches = {
        code({ 0xaa, 0, 0, 0 }) + table, // at 0: three bytes of padding
        code({ 0x00, 0xaa, 0, 0 }) + table, // at 1: two
        code({ 0x00, 0x00, 0x00, 0xaa }) + table, // at 3: none
        code({ 0x00, 0x00, 0xab, 0 }) + lookup, // at 2: one
        code({ 0x00, 0x00, 0x00, 0xab }) + lookup,
    };
    for (const QByteArray &body : switches) {
        CodeCase c;
        const auto classFile = afterSwitch(c, body);
        EXPECT_TRUE(classFile->checkLog.messages.isEmpty()) << body.toHex().toStdString();
        EXPECT_TRUE(printedClasses(*classFile).contains("java.util.ArrayList"))
            << body.toHex().toStdString();
    }
}

TEST(DependencyScan, WideModifiesLoadsStoresAndIinc)
{
    CodeCase iinc;
    auto classFile = iinc.run(code({ 0xc4,
                                     0x84,
                                     0,
                                     1,
                                     0x03,
                                     0xe8,
                                     0xc4,
                                     0x15,
                                     1,
                                     0,
                                     0x57,
                                     NEW,
                                     hi(iinc.list),
                                     lo(iinc.list),
                                     RETURN }));
    EXPECT_TRUE(classFile->checkLog.messages.isEmpty());
    EXPECT_TRUE(printedClasses(*classFile).contains("java.util.ArrayList"));

    // A wide before anything else is reported, and the byte after it is read as an opcode.
    CodeCase bad;
    classFile = bad.run(code({ 0xc4, 0x00, NEW, hi(bad.list), lo(bad.list), RETURN }));
    EXPECT_EQ(classFile->checkLog.messages,
              QStringList { "Error - Error parsing wide instruction in code segment" });
    EXPECT_TRUE(printedClasses(*classFile).contains("java.util.ArrayList"));
}

TEST(DependencyScan, UndecodableCodeEndsTheMethodsScanOnce)
{
    // Each body is followed by `new ArrayList`, which the scan must not reach.
    const QList<QByteArray> bodies = {
        code({ 0x00, 0xca }), // breakpoint
        code({ 0xff, GETSTATIC, 0, 1 }), // impdep2
        code({ 0xaa, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 5, 0, 0, 0, 4 }), // high below low
        code({ 0xaa, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x7f, 0xff, 0xff, 0xff }), // table past the
                                                                                 // code
        code({ 0xaa, 0, 0, 0, 0, 0, 0, 0, 0x80, 0, 0, 0, 0x7f, 0xff, 0xff, 0xff }), // widest table
        code({ 0xab, 0, 0, 0, 0, 0, 0, 0, 0xff, 0xff, 0xff, 0xff }), // negative pairs
        code({ 0xab, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1 }), // pairs past the code
        code({ GETSTATIC, 0, 0 }), // index 0
        code({ GETSTATIC, 0x03, 0xe7 }), // index past the pool
        code({ INVOKEVIRTUAL, 0, 1 }), // a Utf8 where a method is due
        code({ NEW, 0, 5 }), // another Utf8 where a class is due
    };
    for (const QByteArray &body : bodies) {
        CodeCase c;
        const auto classFile = c.run(body + code({ NEW, hi(c.list), lo(c.list) }));
        EXPECT_EQ(classFile->checkLog.messages, QStringList { CODE_ERROR })
            << body.toHex().toStdString();
        EXPECT_FALSE(printedClasses(*classFile).contains("java.util.ArrayList"))
            << body.toHex().toStdString();
        // The lists are collected on first use; that pass records nothing again.
        EXPECT_EQ(classFile->checkLog.messages, QStringList { CODE_ERROR });
    }
    // Instructions cut off by the end of the code.
    const QList<QByteArray> cutOff = {
        code({ 0x00, GETSTATIC, 0 }), code({ 0xc4 }),
        code({ 0xc4, 0x84, 0, 1 }),   code({ 0xaa, 0, 0, 0, 0, 0, 0, 0, 0, 0 }),
        code({ 0xc8, 0, 0 }),
    };
    for (const QByteArray &body : cutOff) {
        CodeCase c;
        EXPECT_EQ(c.run(body)->checkLog.messages, QStringList { CODE_ERROR })
            << body.toHex().toStdString();
    }
    // A field instruction naming a method reference.
    CodeCase c;
    const quint16 method = c.builder.methodRef(
        QStringLiteral("java/lang/Object"), QStringLiteral("hashCode"), QStringLiteral("()I"));
    EXPECT_EQ(c.run(code({ GETSTATIC, hi(method), lo(method), RETURN }))->checkLog.messages,
              QStringList { CODE_ERROR });
}

TEST(DependencyScan, DuplicatesAreOneEntry)
{
    CodeCase c;
    c.builder.fieldRef(QStringLiteral("java/lang/System"),
                       QStringLiteral("out"),
                       QStringLiteral("Ljava/io/PrintStream;"));
    // Another descriptor text with the same printed form is the same class.
    c.builder.classInfo(QStringLiteral("java.lang.System"));
    const quint16 dotted = c.builder.classInfo(QStringLiteral("java.lang.System"));
    const auto classFile = c.run(code({ GETSTATIC,
                                        hi(c.out),
                                        lo(c.out),
                                        NEW,
                                        hi(dotted),
                                        lo(dotted),
                                        GETSTATIC,
                                        hi(c.out),
                                        lo(c.out),
                                        NEW,
                                        hi(c.list),
                                        lo(c.list),
                                        RETURN }));
    EXPECT_EQ(fieldKeys(*classFile), QStringList { SYSTEM_OUT });
    EXPECT_EQ(printedClasses(*classFile),
              QStringList({ "java.io.PrintStream",
                            "java.lang.Object",
                            "java.lang.System",
                            "java.util.ArrayList" }));
}

TEST(DependencyScan, PoolAndCodeNameADottedFieldOwnerEachTheirWay)
{
    // The pool step turns dots into slashes (a binary name); code keeps the name as the pool has
    // it.
    CodeCase c;
    const quint16 dotted
        = c.builder.fieldRef(QStringLiteral("q.B"), QStringLiteral("f"), QStringLiteral("I"));
    const auto classFile = c.run(
        code({ GETSTATIC, hi(c.out), lo(c.out), GETSTATIC, hi(dotted), lo(dotted), RETURN }));
    EXPECT_EQ(fieldKeys(*classFile), QStringList({ SYSTEM_OUT, "Lq.B;fI", "Lq/B;fI" }));
}

TEST(DependencyScan, AFileThatCouldNotBeReadHasNoLists)
{
    const QByteArray notAClass("PK\x03\x04 not a class file");
    const std::unique_ptr<JavaClassFile> classFile(
        JavaClassFile::create(notAClass.constData(), notAClass.size()));
    ASSERT_TRUE(classFile->checkLog.hasErrors);
    EXPECT_TRUE(classFile->getDependentClasses().isEmpty());
    EXPECT_TRUE(classFile->getDependentFields().isEmpty());
    EXPECT_TRUE(classFile->getDependentMethods().isEmpty());
    EXPECT_EQ(classFile->checkLog.messages.size(), 1);
}
