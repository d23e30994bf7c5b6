#include "ClassFileTestSupport.h"

#include <gtest/gtest.h>

namespace {

using Origin = DependencyOrigins::Origin;

const DepMethod reverse(TypeDescriptor(QStringLiteral("Ljava/lang/StringBuilder;")),
                        QStringLiteral("reverse"),
                        MethodSignature(QStringLiteral("()Ljava/lang/StringBuilder;")));
const DepMethod gone(TypeDescriptor(QStringLiteral("Lq/B;")),
                     QStringLiteral("gone"),
                     MethodSignature(QStringLiteral("()V")));

QStringList texts(const DependencyOrigins &origins)
{
    QStringList texts;
    for (const Origin &origin : origins.getKept())
        texts << QStringLiteral("%1 %2:%3")
                     .arg(DependencyOrigins::placeText(origin.place), origin.member)
                     .arg(origin.line);
    return texts;
}

// invokestatic q/B.gone()V, then return.
QByteArray callGone(ClassFileBuilder &builder, int calls)
{
    ByteWriter code;
    const quint16 ref
        = builder.methodRef(QStringLiteral("q/B"), QStringLiteral("gone"), QStringLiteral("()V"));
    for (int i = 0; i < calls; ++i)
        code.u1(184).u2(ref);
    code.u1(177);
    return code.data();
}

// A LineNumberTable of (start_pc, line) pairs, its count as given.
QByteArray lineTable(ClassFileBuilder &builder, const QList<QPair<int, int>> &entries, int count)
{
    ByteWriter body;
    body.u2(quint32(count));
    for (const auto &entry : entries)
        body.u2(quint32(entry.first)).u2(quint32(entry.second));
    return builder.attribute(QStringLiteral("LineNumberTable"), body.data());
}

} // namespace

TEST(Origins, EachMethodThatCallsIsAnOriginWithItsSourceLine)
{
    const std::unique_ptr<JavaClassFile> classFile(JavaClassFile::create(
        QStringLiteral(JCT_FIXTURES_CLASSFILE "/classes/fixtures/Origins.class")));
    ASSERT_FALSE(classFile->checkLog.hasErrors);
    const QStringList before = methodKeys(*classFile);
    EXPECT_EQ(texts(classFile->getOrigins(reverse)),
              QStringList({ "code first(Ljava/lang/StringBuilder;)V:7",
                            "code second(Ljava/lang/StringBuilder;)I:11" }));
    // The class is used by both signatures and by the calls.
    EXPECT_TRUE(texts(classFile->getOrigins(reverse.owner))
                    .contains("method signature first(Ljava/lang/StringBuilder;)V:0"));
    EXPECT_TRUE(texts(classFile->getOrigins(reverse.owner))
                    .contains("code first(Ljava/lang/StringBuilder;)V:7"));
    // Asking for origins leaves the lists as they were.
    EXPECT_EQ(methodKeys(*classFile), before);
    EXPECT_TRUE(classFile->getOrigins(gone).isEmpty());
}

TEST(Origins, WithoutLineNumbersOnlyTheMethodsAreKnownAndUsesBeyondTheBoundAreCounted)
{
    ClassFileBuilder builder;
    builder.addMethodWithCode(QStringLiteral("once"), callGone(builder, 1));
    builder.addMethodWithCode(QStringLiteral("often"), callGone(builder, 9));
    builder.addMethodWithCode(QStringLiteral("more"), callGone(builder, 1));
    builder.addMethodWithCode(QStringLiteral("last"), callGone(builder, 1));
    builder.addMethodWithCode(QStringLiteral("beyond"), callGone(builder, 2));
    const auto classFile = parse(builder);
    ASSERT_FALSE(classFile->checkLog.hasErrors);
    const DependencyOrigins origins = classFile->getOrigins(gone);
    // One origin per method and line: the nine calls without lines are one.
    EXPECT_EQ(
        texts(origins),
        QStringList({ "code once()V:0", "code often()V:0", "code more()V:0", "code last()V:0" }));
    EXPECT_EQ(origins.getMore(), 2);
}

TEST(Origins, ReferencesOutsideCodeNameTheirPlace)
{
    ClassFileBuilder builder(QStringLiteral("p/A"), QStringLiteral("q/Base"));
    builder.addInterface(builder.classInfo(QStringLiteral("q/Face")));
    builder.addField(0x0001, QStringLiteral("kept"), QStringLiteral("[Lq/Kept;"));
    builder.addMethod(
        0x0401,
        QStringLiteral("make"),
        QStringLiteral("(Lq/In;)V"),
        { builder.exceptionsAttribute({ builder.classInfo(QStringLiteral("q/Oops")) }) });
    builder.fieldRef(QStringLiteral("q/Pool"), QStringLiteral("only"), QStringLiteral("I"));
    const auto classFile = parse(builder);
    ASSERT_FALSE(classFile->checkLog.hasErrors);
    auto of = [&](const char *descriptor) {
        return texts(classFile->getOrigins(TypeDescriptor(QString::fromLatin1(descriptor))));
    };
    EXPECT_EQ(of("Lq/Base;"), QStringList("superclass :0"));
    EXPECT_EQ(of("Lq/Face;"), QStringList("interface :0"));
    EXPECT_EQ(of("Lq/Kept;"), QStringList("field type kept:0"));
    EXPECT_EQ(of("Lq/In;"), QStringList("method signature make(Lq/In;)V:0"));
    EXPECT_EQ(of("Lq/Oops;"), QStringList("throws clause make(Lq/In;)V:0"));
    EXPECT_EQ(of("Lq/Pool;"), QStringList("constant pool :0"));
}

TEST(Origins, BogusLineTablesGiveLinesOnlyWhereTheyFitTheCode)
{
    ClassFileBuilder builder;
    const QByteArray code = callGone(builder, 3); // calls at 0, 3 and 6
    // Out of order, one entry past the code and one naming the middle of an instruction.
    const QByteArray lines
        = lineTable(builder, { { 60000, 99 }, { 4, 8 }, { 0, 5 }, { 65535, 1 } }, 4);
    builder.addMethod(0x0001,
                      QStringLiteral("m"),
                      QStringLiteral("()V"),
                      { builder.codeAttribute(code, { lines }) });
    const auto classFile = parse(builder);
    ASSERT_FALSE(classFile->checkLog.hasErrors);
    EXPECT_EQ(texts(classFile->getOrigins(gone)), QStringList({ "code m()V:5", "code m()V:8" }));

    // A count far past the attribute and the file: the reader rejects the file, nothing is found.
    ClassFileBuilder huge;
    const QByteArray hugeCode = callGone(huge, 1);
    huge.addMethod(0x0001,
                   QStringLiteral("m"),
                   QStringLiteral("()V"),
                   { huge.codeAttribute(hugeCode, { lineTable(huge, { { 0, 1 } }, 0xFFFF) }) });
    const auto rejected = parse(huge);
    EXPECT_TRUE(rejected->checkLog.hasErrors);
    EXPECT_TRUE(rejected->getOrigins(gone).isEmpty());
}
