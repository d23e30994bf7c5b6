#include "classfile/ReceiverTypes.h"

#include "classfile/Opcodes.h"

#include "ClassFileTestSupport.h"
#include "support/Files.h"
#include "support/Golden.h"

#include <QRegularExpression>

#include <gtest/gtest.h>

#include <functional>

namespace {

const QString fixtures = JCT_FIXTURES_RECEIVERS "/classes/receivers/";

const ReceiverTypes::IsSubclass noneIs = [](const QString &) { return false; };

QString usesText(const JavaClassFile &file, const QList<ReceiverTypes::Use> &uses)
{
    QStringList lines;
    for (const ReceiverTypes::Use &use : uses) {
        const method_info *method = file.methods.at(use.method);
        lines << QString("    %1%2 line %3 pc %4 op %5: %6")
                     .arg(file.getMethodName(method), file.getMethodDescriptor(method))
                     .arg(use.line)
                     .arg(use.pc)
                     .arg(use.opcode)
                     .arg(use.undecided.isEmpty() ? use.types.join(' ')
                                                  : "undecided, " + use.undecided);
    }
    return lines.join('\n');
}

/// Every field and method the class's pool refers to, with the uses of each on an object.
QString allUses(const JavaClassFile &file, const ReceiverTypes::IsSubclass &isSubclass = noneIs)
{
    QStringList lines;
    ReceiverTypes receivers(file, isSubclass);
    const auto add = [&](const QString &owner, const QString &member, const QString &descriptor) {
        const bool isMethod = descriptor.startsWith('(');
        const auto uses = receivers.find(owner, member, descriptor, isMethod);
        if (!uses.isEmpty()) {
            lines << QString("  %1.%2%3%4").arg(owner, member, isMethod ? "" : ":", descriptor)
                  << usesText(file, uses);
        }
    };
    for (const CONSTANT_Fieldref_info *ref : file.getFieldRefInfos()) {
        add(file.getFieldParentClassName(*ref),
            file.getFieldName(*ref),
            file.getFieldTypeDescriptor(*ref).getDescriptor());
    }
    for (const CONSTANT_Fieldref_info *ref : file.getMethodRefInfos()) {
        add(file.getMethodParentClassName(*ref),
            file.getMethodName(*ref),
            file.getMethodSignature(*ref).getDescriptor());
    }
    return lines.join('\n');
}

using namespace Opcodes;

/// A class p/A whose static method run(Lq/B;)V has this code; `m` names q/B.m()V.
struct Crafted
{
    explicit Crafted(quint16 major)
    {
        builder.majorVersion = major;
        m = builder.methodRef("q/B", "m", "()V");
    }

    QString run(const QByteArray &code, const QList<QByteArray> &nested = {}, quint16 locals = 4)
    {
        ByteWriter body;
        body.u2(4).u2(locals).u4(quint32(code.size())).bytes(code).u2(0).u2(quint32(nested.size()));
        for (const QByteArray &attribute : nested)
            body.bytes(attribute);
        builder.addMethod(0x0009, "run", "(Lq/B;)V", { builder.attribute("Code", body.data()) });
        const auto file = parse(builder.build());
        if (!file->checkLog.messages.isEmpty())
            return file->checkLog.messages.join(" | ");
        return usesText(*file, ReceiverTypes(*file, noneIs).find("Lq/B;", "m", "()V", true))
            .trimmed();
    }

    ClassFileBuilder builder;
    quint16 m;
};

} // namespace

// The types of javac's code as its frames give them, and as the JVM infers them without frames:
// at joins, the second holds each type that meets there, where the first holds the declared one.
TEST(ReceiverTypes, TheObjectOfEachUseIsTypedAsTheVerifierTypesIt)
{
    const QByteArray compiled = readFile(fixtures + "Flows.class");
    ASSERT_FALSE(compiled.isEmpty());
    const auto framed = parse(compiled);
    const auto inferred = parse(withoutStackMaps(compiled, 49));
    ASSERT_TRUE(inferred->checkLog.messages.isEmpty())
        << qPrintable(inferred->checkLog.messages.join(QChar(10)));
    const auto constructor = parse(readFile(fixtures + "Flows$Sub.class"));
    const auto dynamic = parse(readFile(fixtures + "Dynamic.class"));
    Golden::expectEqual(
        "classfile/receiver-types.txt",
        QString("With stack maps\n%1\nWithout\n%2\nA constructor's own call\n%3\n"
                "Beside invokedynamic\n%4\n")
            .arg(allUses(*framed), allUses(*inferred), allUses(*constructor), allUses(*dynamic))
            .toUtf8());
}

// Ten types meet where many() calls m() in a class of an old compiler: more than a word keeps.
// Those that pass the check go first; of the rest, the first few stay, since any of them fails.
TEST(ReceiverTypes, AJoinOfMoreTypesThanAreKeptKeepsThoseThatFail)
{
    const auto file = parse(withoutStackMaps(readFile(fixtures + "Flows.class"), 49));
    const auto passing = [](const QString &name) {
        return QRegularExpression("\\$T[1-4]$").match(name).hasMatch();
    };
    const auto uses
        = ReceiverTypes(*file, passing).find("Lreceivers/Flows$Base;", "m", "()V", true);
    const auto many = std::find_if(uses.begin(), uses.end(), [&](const ReceiverTypes::Use &use) {
        return file->getMethodName(file->methods.at(use.method)) == "many";
    });
    ASSERT_NE(many, uses.end());
    EXPECT_EQ(many->types.join(' ').remove("receivers/Flows$"), "T0 T5 T6 T7 T8 T9");
}

// Old compilers' subroutines (finally blocks): the return address is stored, and ret returns
// after every jsr to the subroutine. The subroutine sees the types of all its calls joined; after
// a call, a local the subroutine does not write holds what that call left there.
TEST(ReceiverTypes, SubroutinesJoinTheirCallsAndReturnToEachWithItsLocals)
{
    Crafted crafted(49);
    const quint16 other = crafted.builder.classInfo("q/C");
    ByteWriter code;
    code.u1(ALOAD_0).u1(ASTORE_1); // 0, 1: local 1 is a q/B
    code.u1(JSR).u2(16); // 2: to 18
    code.u1(ACONST_NULL).u1(CHECKCAST).u2(other).u1(ASTORE_1); // 5, 6, 9: local 1 is a q/C
    code.u1(JSR).u2(8); // 10: to 18
    code.u1(ALOAD_1).u1(INVOKEVIRTUAL).u2(crafted.m).u1(RETURN); // 13, 14, 17
    code.u1(ASTORE_2).u1(ALOAD_1).u1(INVOKEVIRTUAL).u2(crafted.m); // 18, 19, 20
    code.u1(RET).u1(2); // 23
    EXPECT_EQ(crafted.run(code.data()),
              "run(Lq/B;)V line 0 pc 14 op 182: q/C\n"
              "    run(Lq/B;)V line 0 pc 20 op 182: q/B q/C");
}

// The verifier rejects such code; the uses in it are undecided, with the reason, and nothing is
// read outside the code or the pool.
TEST(ReceiverTypes, CodeThatCannotBeFollowedLeavesItsUsesUndecided)
{
    const auto use = [](Crafted &crafted) {
        return ByteWriter().u1(ALOAD_0).u1(INVOKEVIRTUAL).u2(crafted.m).data();
    };
    const struct
    {
        const char *name;
        quint16 major;
        std::function<QByteArray(Crafted &)> code;
    } cases[] = {
        { "nothing on the stack",
          52,
          [](Crafted &c) { return ByteWriter().u1(INVOKEVIRTUAL).u2(c.m).u1(RETURN).data(); } },
        { "no object on the stack",
          52,
          [](Crafted &c) {
              return ByteWriter().u1(ICONST_0).u1(INVOKEVIRTUAL).u2(c.m).u1(RETURN).data();
          } },
        { "a jump out of the code",
          52,
          [&](Crafted &c) { return use(c) + ByteWriter().u1(GOTO).u2(100).data(); } },
        { "a jump target without a frame",
          52,
          [&](Crafted &c) { return use(c) + ByteWriter().u1(GOTO).u2(3).u1(RETURN).data(); } },
        { "a subroutine with frames",
          52,
          [&](Crafted &c) { return use(c) + ByteWriter().u1(JSR).u2(3).u1(RETURN).data(); } },
        { "a pool entry of another kind",
          52,
          [&](Crafted &c) {
              return use(c) + ByteWriter().u1(LDC).u1(c.builder.utf8("x")).u1(RETURN).data();
          } },
        { "two stack heights at a join",
          49,
          [&](Crafted &c) {
              return ByteWriter().u1(ACONST_NULL).u1(ALOAD_0).u1(IFNONNULL).u2(4).u1(POP).data()
                  + use(c) + ByteWriter().u1(RETURN).data();
          } },
        { "ret to no return address",
          49,
          [&](Crafted &c) {
              return use(c) + ByteWriter().u1(ALOAD_0).u1(ASTORE_1).u1(RET).u1(1).data();
          } },
        { "code running off its end", 49, use },
    };
    QStringList outcomes;
    for (const auto &c : cases) {
        Crafted crafted(c.major);
        outcomes << QString("%1: %2").arg(c.name, crafted.run(c.code(crafted)));
    }
    Golden::expectEqual("classfile/receiver-types-undecided.txt",
                        outcomes.join('\n').toUtf8() + '\n');
}

// Code built to exhaust whoever follows it is given up early: many joins of many locals without
// frames, many frames of many locals with them.
TEST(ReceiverTypes, CodeTooLargeToFollowIsGivenUp)
{
    const quint16 locals = 65535;
    for (const quint16 major : { 49, 52 }) {
        Crafted crafted(major);
        ByteWriter code;
        code.u1(ALOAD_0).u1(INVOKEVIRTUAL).u2(crafted.m);
        ByteWriter frames;
        frames.u2(200).u1(4); // same_frame at pc 4, then at every pc after
        for (int i = 0; i < 200; ++i) {
            code.u1(GOTO).u2(3);
            if (i > 0)
                frames.u1(2);
        }
        code.u1(RETURN);
        QList<QByteArray> nested;
        if (major >= 50)
            nested << crafted.builder.attribute("StackMapTable", frames.data());
        EXPECT_EQ(crafted.run(code.data(), nested, locals),
                  "run(Lq/B;)V line 0 pc 1 op 182: undecided, the code is too large to follow")
            << major;
    }
}
