#include "ClassFileTestSupport.h"
#include "support/Golden.h"
#include "support/ProcessRunner.h"

#include <QFile>

#include <gtest/gtest.h>

namespace {

enum Level { CLASS, STATIC_FIELD, INSTANCE_FIELD, METHOD, CODE };

const char *const levelNames[] = { "class", "static field", "instance field", "method", "code" };

const QByteArray garbage("\x00\x01\x02", 3);

/// A class with a static and an instance field and a static method with code, holding one
/// attribute at the level given.
QByteArray withAttribute(Level level, const QString &name, const QByteArray &body, int major = 52)
{
    ClassFileBuilder builder;
    builder.majorVersion = quint16(major);
    const QByteArray attribute = builder.attribute(name, body);
    const auto at = [&](Level wanted) {
        return level == wanted ? QList<QByteArray> { attribute } : QList<QByteArray>();
    };
    builder.addField(0x0008, "f", "I", at(STATIC_FIELD));
    builder.addField(0x0000, "g", "I", at(INSTANCE_FIELD));
    builder.addMethod(0x0008,
                      "m",
                      "()V",
                      QList<QByteArray> { builder.codeAttribute("\xb1", at(CODE)) } + at(METHOD));
    for (const QByteArray &classAttribute : at(CLASS))
        builder.addClassAttribute(classAttribute);
    return builder;
}

/// A class whose pool holds one entry nothing uses, of this tag followed by the index of a text.
QByteArray withConstant(quint8 tag, const QString &text, int major)
{
    ClassFileBuilder builder;
    builder.majorVersion = quint16(major);
    builder.rawConstant(ByteWriter().u1(tag).u2(builder.utf8(text)).data());
    return builder;
}

QByteArray withDynamicConstant(int major)
{
    ClassFileBuilder builder;
    builder.majorVersion = quint16(major);
    builder.addUnusedDynamicConstant();
    return builder;
}

QByteArray withFlags(quint16 flags, int major)
{
    ClassFileBuilder builder;
    builder.majorVersion = quint16(major);
    builder.accessFlags = flags;
    return builder;
}

struct Case
{
    QString name;
    QByteArray bytes;
};

QList<Case> cases()
{
    QList<Case> all;
    const auto add = [&](Level level, const QString &name, const QByteArray &body, int major) {
        all.append({ QString("%1 %2 of %3 bytes, version %4")
                         .arg(levelNames[level], name)
                         .arg(body.size())
                         .arg(major),
                     withAttribute(level, name, body, major) });
    };
    // Interpreted where the format defines them, skipped by their length elsewhere.
    for (const char *name : { "Code", "Exceptions", "LineNumberTable" })
        add(CLASS, name, QByteArray(), 52);
    for (const char *name : { "LocalVariableTable", "ConstantValue", "StackMapTable" })
        add(CLASS, name, garbage, 52);
    for (const char *name : { "Code", "InnerClasses", "SourceFile", "Exceptions" })
        add(STATIC_FIELD, name, garbage, 52);
    add(INSTANCE_FIELD, "ConstantValue", garbage, 52);
    for (const char *name :
         { "LineNumberTable", "ConstantValue", "InnerClasses", "EnclosingMethod" })
        add(METHOD, name, garbage, 52);
    for (const char *name : { "Code", "Exceptions", "Signature", "Synthetic", "InnerClasses" })
        add(CODE, name, garbage, 52);
    // Kinds younger than the file's version are no kinds of it.
    add(CLASS, "Signature", garbage, 48);
    add(CLASS, "EnclosingMethod", garbage, 48);
    add(CODE, "LocalVariableTypeTable", garbage, 48);
    add(CODE, "StackMapTable", garbage, 49);
    // A kind read where it belongs must fill its length exactly.
    add(CLASS, "Synthetic", garbage, 52);
    add(CLASS, "SourceFile", garbage, 52);
    add(CLASS, "InnerClasses", QByteArray(), 52);
    add(METHOD, "Exceptions", QByteArray(), 52);
    add(STATIC_FIELD, "ConstantValue", garbage, 52);
    add(CODE, "LineNumberTable", garbage, 52);
    // Constants of later versions.
    all.append({ "unused dynamic constant, version 55", withDynamicConstant(55) });
    all.append({ "unused dynamic constant, version 52", withDynamicConstant(52) });
    all.append({ "method type constant, version 51", withConstant(16, "()V", 51) });
    all.append({ "method type constant, version 50", withConstant(16, "()V", 50) });
    all.append({ "module constant, version 53", withConstant(19, "m", 53) });
    all.append({ "module flag, version 52", withFlags(0x8021, 52) });
    all.append({ "module flag, version 53", withFlags(0x8021, 53) });
    return all;
}

/// What the JVM says of each file: "loads", or "refuses" and its error.
QStringList askTheJvm(const QList<Case> &all)
{
    ProcessRunner java(JCT_JAVA);
    QStringList arguments { "-Xshare:auto", "-cp", JCT_FIXTURES_JVMPROBE "/classes", "LoadEach" };
    for (int i = 0; i < all.size(); ++i) {
        QFile file(java.path(QString("%1.class").arg(i)));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly) && file.write(all.at(i).bytes) >= 0);
        arguments << file.fileName();
    }
    const ProcessRunner::Result result = java.run(arguments);
    EXPECT_TRUE(result.exitedNormally && result.exitCode == 0) << result.err.toStdString();
    return QString::fromUtf8(result.out).split('\n', Qt::SkipEmptyParts);
}

} // namespace

// The JVM decides what runs: every crafted file it loads must be read, so that its code is
// checked. Those it refuses may be refused too; the golden file shows where the reader agrees.
TEST(JavaClassFile, ReadsEveryClassFileTheJvmLoads)
{
    const QList<Case> all = cases();
    const QStringList jvm = askTheJvm(all);
    ASSERT_EQ(jvm.size(), all.size()) << jvm.join('\n').toStdString();
    QByteArray text;
    for (int i = 0; i < all.size(); ++i) {
        const auto file = parse(all.at(i).bytes);
        const bool loads = jvm.at(i) == "loads";
        EXPECT_TRUE(!loads || !file->checkLog.hasErrors)
            << all.at(i).name.toStdString() << ": "
            << file->checkLog.messages.join(' ').toStdString();
        QString reader = file->checkLog.hasErrors
            ? "refuses: " + file->checkLog.messages.join(" | ")
            : QString("reads");
        if (file->isModuleDescriptor())
            reader += " a module descriptor";
        text += QString("%1: JVM %2, reader %3\n")
                    .arg(all.at(i).name, loads ? "loads" : "refuses", reader)
                    .toUtf8();
    }
    Golden::expectEqual("classfile/jvm-agreement.txt", text);
}
