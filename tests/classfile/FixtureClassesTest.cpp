#include "ClassFileTestSupport.h"

#include <QDir>
#include <QDirIterator>
#include <gtest/gtest.h>

namespace {

QString fixturePath(const QString &name)
{
    return QStringLiteral(JCT_FIXTURES_CLASSFILE "/classes/fixtures/%1.class").arg(name);
}

std::unique_ptr<JavaClassFile> load(const QString &name)
{
    std::unique_ptr<JavaClassFile> classFile(JavaClassFile::create(fixturePath(name)));
    EXPECT_TRUE(classFile->checkLog.messages.isEmpty())
        << name.toStdString() << ": " << classFile->checkLog.messages.join('\n').toStdString();
    return classFile;
}

} // namespace

TEST(FixtureClasses, EveryCompiledClassReadsCleanly)
{
    QDirIterator it(QStringLiteral(JCT_FIXTURES_CLASSFILE "/classes"),
                    { "*.class" },
                    QDir::Files,
                    QDirIterator::Subdirectories);
    int count = 0;
    for (; it.hasNext(); ++count) {
        const std::unique_ptr<JavaClassFile> classFile(JavaClassFile::create(it.next()));
        EXPECT_TRUE(classFile->checkLog.messages.isEmpty()) << it.filePath().toStdString();
        EXPECT_EQ(classFile->major_version, 52);
        EXPECT_EQ(TypeDescriptor::fromClassFileName(it.filePath().mid(it.path().size() + 1)),
                  classFile->getTypeDescriptor());
    }
    EXPECT_GE(count, 9);
}

TEST(FixtureClasses, EnumDoesNotDependOnItsSuperConstructor)
{
    const auto color = load(QStringLiteral("Color"));
    EXPECT_EQ(color->getParentName(), "java/lang/Enum");
    const QStringList methods = methodKeys(*color);
    EXPECT_FALSE(methods.contains(QStringLiteral("Ljava/lang/Enum;<init>(Ljava/lang/String;I)V")));
    EXPECT_TRUE(methods.contains(QStringLiteral(
        "Ljava/lang/Enum;valueOf(Ljava/lang/Class;Ljava/lang/String;)Ljava/lang/Enum;")));
    // values() clones the array of constants: no method, but the element class.
    EXPECT_FALSE(methods.join(' ').contains(QStringLiteral("clone")));
    EXPECT_TRUE(printedClasses(*color).contains(QStringLiteral("fixtures.Color")));
}

TEST(FixtureClasses, CodeWithSwitchesAtSeveralPositionsAndWideIncrementScansCleanly)
{
    // Switches at code positions 1, 2, 7 and 8 and an iinc_w: a scan that lost its step would read
    // jump tables as opcodes and most likely report an error (load() expects none).
    const auto switches = load(QStringLiteral("Switches"));
    const QStringList methods = methodKeys(*switches);
    for (const char *call : { "Ljava/lang/Integer;bitCount(I)I",
                              "Ljava/lang/Long;numberOfTrailingZeros(J)I",
                              "Ljava/lang/Short;toUnsignedInt(S)I",
                              "Ljava/lang/Character;getNumericValue(I)I",
                              "Ljava/lang/String;trim()Ljava/lang/String;",
                              "Ljava/lang/Math;abs(I)I" })
        EXPECT_TRUE(methods.contains(QLatin1String(call))) << call;
}

TEST(FixtureClasses, ArraysAddTheirElementClassesOnly)
{
    const auto arrays = load(QStringLiteral("Arrays"));
    const QStringList classes = printedClasses(*arrays);
    EXPECT_TRUE(classes.contains(QStringLiteral("java.util.List")));
    EXPECT_TRUE(classes.contains(QStringLiteral("java.lang.String")));
    // Only reached through array classes of checkcast and instanceof.
    EXPECT_FALSE(classes.contains(QStringLiteral("java.lang.CharSequence")));
    EXPECT_TRUE(arrays->getDependentMethods().size() == 1)
        << methodKeys(*arrays).join(' ').toStdString();
    EXPECT_EQ(methodKeys(*arrays), QStringList { "Ljava/lang/Object;<init>()V" });
    for (const TypeDescriptor &type : arrays->getDependentClasses())
        EXPECT_TRUE(type.isClass()) << type.descriptor.toStdString();
}

TEST(FixtureClasses, AbstractClassWithNativeMethodAndDeclaredExceptions)
{
    const auto base = load(QStringLiteral("Base"));
    EXPECT_TRUE(base->hasInterface(QStringLiteral("fixtures/Shape")));
    EXPECT_TRUE(base->hasInterface(QStringLiteral("java/lang/Runnable")));
    EXPECT_FALSE(base->hasInterface(QStringLiteral("java/lang/Comparable")));
    const method_info *step = base->getMethodsByName(QStringLiteral("step")).value(0);
    ASSERT_NE(step, nullptr);
    EXPECT_TRUE(base->isMethodAbstract(step));
    EXPECT_EQ(base->getMethodExceptions(step),
              QStringList({ "java/io/IOException", "java/lang/InterruptedException" }));
    const method_info *time
        = base->getMethodByNameAndDescriptor(QStringLiteral("nativeTime"), QStringLiteral("()J"));
    ASSERT_NE(time, nullptr);
    EXPECT_TRUE(base->isMethodNative(time));
    EXPECT_EQ(base->getMethodsByName(QStringLiteral("<init>")).size(), 2);
    const field_info *name = base->getFieldByName(QStringLiteral("NAME"));
    ASSERT_NE(name, nullptr);
    EXPECT_TRUE(base->isFieldPrivate(name) && base->isFieldStatic(name)
                && base->isFieldFinal(name));

    const QStringList classes = printedClasses(*base);
    for (const char *type : { "java.io.IOException",
                              "java.lang.InterruptedException",
                              "java.lang.IllegalStateException",
                              "fixtures.Shape",
                              "java.lang.Runnable",
                              "fixtures.Base" })
        EXPECT_TRUE(classes.contains(QLatin1String(type))) << type;
    EXPECT_TRUE(
        fieldKeys(*base).contains(QStringLiteral("Ljava/lang/System;outLjava/io/PrintStream;")));
    // Own members (count, helper, the inherited area) are no dependencies.
    EXPECT_FALSE(fieldKeys(*base).join(' ').contains(QStringLiteral("fixtures/Base")));
    EXPECT_FALSE(methodKeys(*base).join(' ').contains(QStringLiteral("Lfixtures/Base;")));
    EXPECT_TRUE(methodKeys(*base).contains(
        QStringLiteral("Ljava/lang/StringBuilder;append(I)Ljava/lang/StringBuilder;")));
}

TEST(FixtureClasses, NestedAndAnonymousClassesReferToEachOther)
{
    const auto anonymous = load(QStringLiteral("Outer$1"));
    EXPECT_TRUE(anonymous->hasInterface(QStringLiteral("java/lang/Runnable")));
    EXPECT_TRUE(methodKeys(*anonymous).contains(QStringLiteral("Lfixtures/Outer$Nested;value()I")));
    EXPECT_EQ(anonymous->getPackage(), "fixtures");

    const auto inner = load(QStringLiteral("Outer$Inner"));
    // The private field of the outer class is reached through its synthetic accessor.
    EXPECT_TRUE(methodKeys(*inner).contains(
        QStringLiteral("Lfixtures/Outer;access$000(Lfixtures/Outer;)Ljava/util/List;")));
    EXPECT_FALSE(fieldKeys(*inner)
                     .join(QLatin1Char(' '))
                     .contains(QStringLiteral("Lfixtures/Outer$Inner;")));
    EXPECT_TRUE(methodKeys(*inner).contains(QStringLiteral("Ljava/util/List;size()I")));

    const auto outer = load(QStringLiteral("Outer"));
    EXPECT_TRUE(methodKeys(*outer).contains(QStringLiteral("Ljava/util/ArrayList;<init>()V")));
    EXPECT_TRUE(printedClasses(*outer).contains(QStringLiteral("fixtures.Outer$1")));
}
