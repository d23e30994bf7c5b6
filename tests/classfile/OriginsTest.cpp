#include "ClassFileTestSupport.h"

#include <gtest/gtest.h>

namespace {

const DepMethod reverse(TypeDescriptor("Ljava/lang/StringBuilder;"),
                        "reverse",
                        MethodSignature("()Ljava/lang/StringBuilder;"));
const DepMethod gone(TypeDescriptor("Lq/B;"), "gone", MethodSignature("()V"));

QStringList kept(const DependencyOrigins &origins)
{
    QStringList lines;
    for (const DependencyOrigins::Origin &origin : origins.getKept())
        lines << QString("%1 %2:%3")
                     .arg(DependencyOrigins::placeText(origin.place), origin.member)
                     .arg(origin.line);
    return lines;
}

// invokestatic q/B.gone()V as often as asked, then return.
QByteArray callGone(ClassFileBuilder &builder, int calls)
{
    ByteWriter code;
    const quint16 ref = builder.methodRef("q/B", "gone", "()V");
    for (int i = 0; i < calls; ++i)
        code.u1(184).u2(ref);
    return code.u1(177).data();
}

} // namespace

TEST(Origins, EachMethodThatCallsIsAnOriginWithItsSourceLine)
{
    const std::unique_ptr<JavaClassFile> classFile(
        JavaClassFile::create(JCT_FIXTURES_CLASSFILE "/classes/fixtures/Origins.class"));
    ASSERT_FALSE(classFile->checkLog.hasErrors);
    const QStringList before = texts(classFile->getDependentMethods());
    EXPECT_EQ(kept(classFile->getOrigins(reverse)),
              QStringList({ "code first(Ljava/lang/StringBuilder;)V:7",
                            "code second(Ljava/lang/StringBuilder;)I:11" }));
    // The class is used by both signatures and by the calls.
    const QStringList ofClass = kept(classFile->getOrigins(reverse.owner));
    EXPECT_TRUE(ofClass.contains("method signature first(Ljava/lang/StringBuilder;)V:0"));
    EXPECT_TRUE(ofClass.contains("code first(Ljava/lang/StringBuilder;)V:7"));
    // Asking for origins leaves the lists as they were.
    EXPECT_EQ(texts(classFile->getDependentMethods()), before);
    EXPECT_TRUE(classFile->getOrigins(gone).isEmpty());
}

TEST(Origins, WithoutLineNumbersOnlyTheMethodsAreKnownAndUsesBeyondTheBoundAreCounted)
{
    ClassFileBuilder builder;
    const struct
    {
        const char *name;
        int calls;
    } methods[] = { { "once", 1 }, { "often", 9 }, { "more", 1 }, { "last", 1 }, { "beyond", 2 } };
    for (const auto &method : methods)
        builder.addMethodWithCode(method.name, callGone(builder, method.calls));
    const DependencyOrigins origins = parse(builder)->getOrigins(gone);
    // One origin per method and line: the nine calls without lines are one.
    EXPECT_EQ(
        kept(origins),
        QStringList({ "code once()V:0", "code often()V:0", "code more()V:0", "code last()V:0" }));
    EXPECT_EQ(origins.getMore(), 2);
}

TEST(Origins, ReferencesOutsideCodeNameTheirPlace)
{
    ClassFileBuilder builder("p/A", "q/Base");
    builder.addInterface(builder.classInfo("q/Face"));
    builder.addField(0x0001, "kept", "[Lq/Kept;");
    builder.addMethod(0x0401,
                      "make",
                      "(Lq/In;)V",
                      { builder.exceptionsAttribute({ builder.classInfo("q/Oops") }) });
    builder.fieldRef("q/Pool", "only", "I");
    const auto classFile = parse(builder);
    ASSERT_FALSE(classFile->checkLog.hasErrors);
    QStringList places;
    for (const char *used :
         { "Lq/Base;", "Lq/Face;", "Lq/Kept;", "Lq/In;", "Lq/Oops;", "Lq/Pool;" })
        places += kept(classFile->getOrigins(TypeDescriptor(used)));
    EXPECT_EQ(places,
              QStringList({
                  "superclass :0",
                  "interface :0",
                  "field type kept:0",
                  "method signature make(Lq/In;)V:0",
                  "throws clause make(Lq/In;)V:0",
                  "constant pool :0",
              }));
}

TEST(Origins, BogusLineTablesGiveLinesOnlyWhereTheyFitTheCode)
{
    const auto lineTable = [](ClassFileBuilder &builder, quint32 count, const QByteArray &entries) {
        return builder.attribute("LineNumberTable", ByteWriter().u2(count).bytes(entries).data());
    };
    ClassFileBuilder builder;
    const QByteArray code = callGone(builder, 3); // calls at 0, 3 and 6
    // (start, line) pairs out of order, one past the code and one in the middle of an instruction.
    const QByteArray lines = lineTable(builder,
                                       4,
                                       QByteArray::fromHex("ea600063"
                                                           "00040008"
                                                           "00000005"
                                                           "ffff0001"));
    builder.addMethod(0x0001, "m", "()V", { builder.codeAttribute(code, { lines }) });
    const auto classFile = parse(builder);
    ASSERT_FALSE(classFile->checkLog.hasErrors);
    EXPECT_EQ(kept(classFile->getOrigins(gone)), QStringList({ "code m()V:5", "code m()V:8" }));

    // A count far past the attribute and the file: the reader rejects the file, nothing is found.
    ClassFileBuilder huge;
    const QByteArray hugeCode = callGone(huge, 1);
    const QByteArray hugeLines = lineTable(huge, 0xFFFF, QByteArray::fromHex("00000001"));
    huge.addMethod(0x0001, "m", "()V", { huge.codeAttribute(hugeCode, { hugeLines }) });
    const auto rejected = parse(huge);
    EXPECT_TRUE(rejected->checkLog.hasErrors);
    EXPECT_TRUE(rejected->getOrigins(gone).isEmpty());
}

// A class of more code than is worth keeping gives up its code right after the read, and with it
// the means to collect its lists again: it keeps them, origins included.
TEST(Origins, ABigCodeClassKeepsItsListsAndOriginsInsteadOfItsCode)
{
    const auto classFile = parse(longCodeClass(QStringLiteral("p/Big"), 1 << 20));
    ASSERT_FALSE(classFile->checkLog.hasErrors);
    EXPECT_EQ(classFile->getCodeBytes(), 0u);
    const QStringList expected({ "code m()V:5", "code m()V:9" });
    for (int round = 0; round < 2; ++round) {
        EXPECT_TRUE(texts(classFile->getDependentMethods()).contains(gone.getKey()));
        EXPECT_EQ(kept(classFile->getOrigins(gone)), expected);
        classFile->releaseDependencies();
    }
}
