// The golden files hold, per case, what the reader logged and the three dependency lists.

#include "ClassFileTestSupport.h"
#include "classfile/Linkage.h"
#include "support/Files.h"
#include "support/Golden.h"

#include <gtest/gtest.h>

namespace {

const int GETSTATIC = 0xb2;
const int INVOKEVIRTUAL = 0xb6;
const int NEW = 0xbb;
const QByteArray RETURN("\xb1");

/// An instruction with a pool index.
QByteArray op(int opcode, quint16 index)
{
    return ByteWriter().u1(quint32(opcode)).u2(index).data();
}

/// A class whose one method runs a body, with pool entries for the body to use.
struct CodeCase
{
    ClassFileBuilder builder;
    quint16 out = builder.fieldRef("java/lang/System", "out", "Ljava/io/PrintStream;");
    /// A class that only code can make a dependency.
    quint16 list = builder.classInfo("java/util/ArrayList");
    quint16 hashCode = builder.methodRef("java/lang/Object", "hashCode", "()I");

    const ClassFileBuilder &with(const QByteArray &body)
    {
        builder.addMethodWithCode("m", body);
        return builder;
    }
};

/// Linkage bits in words, lowest bit first; "named" for none.
QString linkageText(quint8 bits, const QStringList &words)
{
    QStringList set;
    for (int bit = 0; bit < words.size(); ++bit) {
        if (bits & (1 << bit))
            set << words.at(bit);
    }
    return set.isEmpty() ? QString("named") : set.join(' ');
}

template<typename Dependency>
QString
linkageLines(const JavaClassFile &file, const QList<Dependency> &list, const QStringList &words)
{
    QString lines;
    for (const Dependency &dependency : list)
        lines += text(dependency) + ": " + linkageText(file.getLinkage(dependency), words) + '\n';
    return lines;
}

} // namespace

TEST(DependencyScan, DeclarationsPoolAndCodeMeetInThreeSortedLists)
{
    Outcomes out;
    CodeCase all { ClassFileBuilder("p/A", "p/Base") };
    ClassFileBuilder &builder = all.builder;
    builder.addInterface(builder.classInfo("java/lang/Runnable"));
    builder.addField(0, "lists", "[Ljava/util/List;");
    builder.addField(0, "numbers", "[I");
    const QByteArray throws
        = builder.exceptionsAttribute({ builder.classInfo("java/io/IOException") });
    builder.addMethod(0x0401, "f", "(I[ILjava/util/Map;)Ljava/lang/String;", { throws });
    const quint16 println
        = builder.methodRef("java/io/PrintStream", "println", "(Ljava/lang/Object;)V");
    out.add(
        "all kinds",
        all.with(op(GETSTATIC, all.out) + op(NEW, all.list) + op(INVOKEVIRTUAL, println) + RETURN),
        true);

    // Array classes add their element class only; the class-kind check of `new` and the like
    // ignores the array classes of the pool.
    CodeCase arrays;
    const quint16 clone
        = arrays.builder.methodRef("[Ljava/lang/String;", "clone", "()Ljava/lang/Object;");
    const quint16 cast = arrays.builder.classInfo("[Ljava/lang/Integer;");
    const quint16 element = arrays.builder.classInfo("java/lang/Long");
    const quint16 multi = arrays.builder.classInfo("[[Ljava/lang/Short;");
    // aconst_null, clone, checkcast, iconst_0, anewarray, two iconst_0, multianewarray.
    out.add("arrays",
            arrays.with("\x01" + op(INVOKEVIRTUAL, clone) + op(0xc0, cast) + "\x03"
                        + op(0xbd, element) + "\x03\x03" + op(0xc5, multi) + "\x02" + RETURN),
            true);

    // Another descriptor text with the same printed form is the same class. The pool step turns
    // dots into slashes (a binary name); code keeps the name as the pool has it.
    CodeCase twice;
    twice.builder.fieldRef("java/lang/System", "out", "Ljava/io/PrintStream;");
    twice.builder.classInfo("java.lang.System");
    const quint16 system = twice.builder.classInfo("java.lang.System");
    const quint16 dotted = twice.builder.fieldRef("q.B", "f", "I");
    out.add("duplicates",
            twice.with(op(GETSTATIC, twice.out) + op(NEW, system) + op(GETSTATIC, twice.out)
                       + op(GETSTATIC, dotted) + RETURN),
            true);
    Golden::expectEqual("classfile/dependencies.txt", out.text);
}

TEST(DependencyScan, MalformedReferencesAndMissingCodeAreReported)
{
    ClassFileBuilder builder;
    const quint16 system = builder.classInfo("java/lang/System");
    const quint16 object = builder.classInfo("java/lang/Object");
    const quint16 text = builder.utf8("out");
    const quint16 descriptor = builder.utf8("I");
    const quint16 integer = builder.rawConstant(ByteWriter().u1(3).u4(0).data());
    const quint16 goodType = builder.nameAndType("out", "I");
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
    // Only abstract and native methods may lack code.
    builder.addMethod(0x0401, "abstractOne", "()V");
    builder.addMethod(0x0101, "nativeOne", "()V");
    builder.addMethod(0x0001, "broken", "()V");
    builder.addMethod(0x0001, "empty", "()V", { builder.codeAttribute({}) });
    Outcomes out;
    out.add("references", builder);
    Golden::expectEqual("classfile/malformed-references.txt", out.text);
}

// The bodies and why each is there are in tests/data/classfile/code-bodies.txt.
TEST(DependencyScan, CodeIsSteppedThroughOrEndsTheMethodsScanOnce)
{
    Outcomes out;
    bool cut = false;
    for (const QByteArray &line : readFile(testDataPath("classfile/code-bodies.txt")).split('\n')) {
        cut |= line == "cut:";
        if (line.isEmpty() || line.startsWith('#') || line == "cut:")
            continue;
        CodeCase c;
        const QByteArray body = QByteArray::fromHex(line);
        out.add(line, c.with(cut ? body : body + op(NEW, c.list) + RETURN), !cut);
    }
    Golden::expectEqual("classfile/code.txt", out.text);
}

// Which dependencies the JVM resolves, and so checks for access, and which are only named; how
// code uses each field and calls each method; members the class declares are no dependencies,
// those it inherits are, even named through the class itself.
TEST(DependencyScan, EachDependencySaysHowTheJvmLinksIt)
{
    const auto file = parse(readFile(JCT_FIXTURES_CLASSFILE "/classes/fixtures/Links.class"));
    const QString text = linkageLines(*file,
                                      file->getDependentClasses(),
                                      { "resolved", "new", "superclass", "interface" })
        + linkageLines(*file,
                       file->getDependentFields(),
                       { "getstatic", "putstatic", "getfield", "putfield" })
        + linkageLines(*file,
                       file->getDependentMethods(),
                       { "Methodref",
                         "InterfaceMethodref",
                         "invokevirtual",
                         "invokespecial",
                         "invokestatic",
                         "invokeinterface" });
    Golden::expectEqual("classfile/linkage.txt", text.toUtf8());
}

// Classes as javac writes them: the byte-built cases cannot show that real compiler output reads
// cleanly and yields the dependencies of its source (switches at several code positions, iinc_w,
// an enum's values() and super constructor, array casts, synthetic accessors of nested classes).
TEST(FixtureClasses, EveryCompiledClassReadsCleanlyWithTheDependenciesOfItsSource)
{
    Outcomes out;
    for (const QString &path : fixtureClassFiles()) {
        const QByteArray bytes = readFile(JCT_FIXTURES_CLASSFILE "/classes/" + path);
        EXPECT_EQ(parse(bytes)->getTypeDescriptor(), TypeDescriptor::fromClassFileName(path));
        out.add(path, bytes, true);
    }
    Golden::expectEqual("classfile/fixtures.txt", out.text);
}
