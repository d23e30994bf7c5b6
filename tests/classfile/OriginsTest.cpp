// Where each dependency is used: the golden file shows, per case, the origins kept and how many
// more uses there were beyond them.

#include "ClassFileTestSupport.h"
#include "support/Golden.h"

#include <gtest/gtest.h>

namespace {

const DepMethod reverse(TypeDescriptor("Ljava/lang/StringBuilder;"),
                        "reverse",
                        MethodSignature("()Ljava/lang/StringBuilder;"));
const DepMethod gone(TypeDescriptor("Lq/B;"), "gone", MethodSignature("()V"));

QString line(const QString &what, const DependencyOrigins &origins)
{
    QStringList kept;
    for (const DependencyOrigins::Origin &origin : origins.getKept())
        kept << QString("%1 %2:%3")
                    .arg(DependencyOrigins::placeText(origin.place), origin.member)
                    .arg(origin.line);
    return QString("%1: %2 (%3 more)\n").arg(what, kept.join(" | ")).arg(origins.getMore());
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

/// A method m()V calling gone three times (at 0, 3 and 6) with a line table of these entries.
QByteArray withLineTable(quint32 count, const char *entries)
{
    ClassFileBuilder builder;
    const QByteArray code = callGone(builder, 3);
    const QByteArray lines = builder.attribute(
        "LineNumberTable", ByteWriter().u2(count).bytes(QByteArray::fromHex(entries)).data());
    builder.addMethod(0x0001, "m", "()V", { builder.codeAttribute(code, { lines }) });
    return builder.build();
}

} // namespace

// Without line numbers only the methods are known: nine calls of one method are one origin, and
// uses beyond the bound are counted. Bogus line tables give lines only where they fit the code;
// one whose count runs past the file makes the file rejected. Asking for origins leaves the lists
// as they were.
TEST(Origins, EachUseIsAnOriginWithItsPlaceMemberAndSourceLine)
{
    const std::unique_ptr<JavaClassFile> fixture(JavaClassFile::create(
        QStringLiteral(JCT_FIXTURES_CLASSFILE "/classes/fixtures/Origins.class")));
    const QStringList before = texts(fixture->getDependentMethods());
    QString out = line("fixture reverse", fixture->getOrigins(reverse))
        + line("fixture StringBuilder", fixture->getOrigins(reverse.getOwner()))
        + line("fixture gone", fixture->getOrigins(gone));
    EXPECT_EQ(texts(fixture->getDependentMethods()), before);

    ClassFileBuilder noLines;
    for (const auto &[name, calls] :
         { std::pair("once", 1), { "often", 9 }, { "more", 1 }, { "last", 1 }, { "beyond", 2 } })
        noLines.addMethodWithCode(name, callGone(noLines, calls));
    out += line("without lines", parse(noLines)->getOrigins(gone));

    ClassFileBuilder outside("p/A", "q/Base");
    outside.addInterface(outside.classInfo("q/Face"));
    outside.addField(0x0001, "kept", "[Lq/Kept;");
    outside.addMethod(0x0401,
                      "make",
                      "(Lq/In;)V",
                      { outside.exceptionsAttribute({ outside.classInfo("q/Oops") }) });
    outside.fieldRef("q/Pool", "only", "I");
    const auto outsideFile = parse(outside);
    for (const char *used :
         { "Lq/Base;", "Lq/Face;", "Lq/Kept;", "Lq/In;", "Lq/Oops;", "Lq/Pool;" })
        out += line(used, outsideFile->getOrigins(TypeDescriptor(used)));

    // (start, line) pairs out of order, one past the code and one in the middle of an instruction.
    out += line("bogus lines",
                parse(withLineTable(4, "ea6000630004000800000005ffff0001"))->getOrigins(gone));
    const auto huge = parse(withLineTable(0xFFFF, "00000001"));
    out += line("line count past the file " + huge->checkLog.messages.join(' '),
                huge->getOrigins(gone));
    Golden::expectEqual("classfile/origins.txt", out.toUtf8());
}

// A class of more code than is worth keeping gives up its code right after the read, and with it
// the means to collect its lists again: it keeps them, origins included.
TEST(Origins, ABigCodeClassKeepsItsListsAndOriginsInsteadOfItsCode)
{
    const auto classFile = parse(longCodeClass(QStringLiteral("p/Big"), 1 << 20));
    ASSERT_FALSE(classFile->checkLog.hasErrors);
    EXPECT_EQ(classFile->getCodeBytes(), 0u);
    for (int round = 0; round < 2; ++round) {
        EXPECT_TRUE(texts(classFile->getDependentMethods()).contains(gone.getKey()));
        EXPECT_EQ(line("big", classFile->getOrigins(gone)),
                  "big: code m()V:5 | code m()V:9 (0 more)\n");
        classFile->releaseDependencies();
    }
}
