#include "classfile/TypeDescriptor.h"

#include <QMap>
#include <gtest/gtest.h>

namespace {

QStringList printed(const QList<TypeDescriptor> &types)
{
    QStringList names;
    for (const TypeDescriptor &type : types)
        names.append(type.toString());
    return names;
}

} // namespace

TEST(TypeDescriptor, PrimitivesAreDecidedByTheFirstCharacterAlone)
{
    const char *letters = "BCDFIJSVZ";
    const QStringList names { "byte", "char",  "double", "float",  "int",
                              "long", "short", "void",   "boolean" };
    for (int i = 0; i < names.size(); ++i) {
        const TypeDescriptor type(QString(QLatin1Char(letters[i])) + "junk");
        EXPECT_EQ(type.type, letters[i]);
        EXPECT_EQ(type.toString(), names[i]);
        EXPECT_TRUE(type.className.isEmpty());
        EXPECT_EQ(type.element, nullptr);
    }
}

TEST(TypeDescriptor, ClassKindDropsFirstAndLastCharacterAndDotsThePackage)
{
    const TypeDescriptor string("Ljava/lang/String;");
    EXPECT_EQ(string.type, 'L');
    EXPECT_EQ(string.className, "java.lang.String");
    EXPECT_EQ(string.toString(), "java.lang.String");
    EXPECT_EQ(string.toStringClass(), "java.lang.String");
    EXPECT_EQ(TypeDescriptor("Ljava/util/Map$Entry;").toString(), "java.util.Map$Entry");
    // Nothing checks the closing `;`: the last character goes whatever it is.
    EXPECT_EQ(TypeDescriptor("Lp/Ax").className, "p.A");
    EXPECT_EQ(TypeDescriptor("L").className, "");
}

TEST(TypeDescriptor, ArraysCountDimensionsAndOwnANonArrayElement)
{
    const TypeDescriptor ints("[[I");
    EXPECT_EQ(ints.type, '[');
    EXPECT_EQ(ints.dimensions, 2);
    ASSERT_NE(ints.element, nullptr);
    EXPECT_EQ(ints.element->descriptor, "I");
    EXPECT_EQ(ints.toString(), "int[][]");

    const TypeDescriptor strings("[Ljava/lang/String;");
    ASSERT_NE(strings.element, nullptr);
    EXPECT_EQ(strings.element->descriptor, "Ljava/lang/String;");
    EXPECT_EQ(strings.toString(), "java.lang.String[]");
    EXPECT_EQ(strings.toStringArray(), "java.lang.String[]");
    // Characters after a primitive element are ignored.
    EXPECT_EQ(TypeDescriptor("[IJ").element->descriptor, "I");
}

TEST(TypeDescriptor, InvalidTextPrintsAsError)
{
    EXPECT_EQ(TypeDescriptor().toString(), "ERROR ");
    EXPECT_EQ(TypeDescriptor("").type, -1);
    EXPECT_EQ(TypeDescriptor("X").toString(), "ERROR X");
    EXPECT_EQ(TypeDescriptor("[X").toString(), "ERROR X[]");
    EXPECT_EQ(TypeDescriptor("[X").type, '[');
    // Only Latin-1 letters can be kinds; an array element above Latin-1 becomes the character 0.
    EXPECT_EQ(TypeDescriptor(QString(QChar(0x100 + 'I'))).type, -1);
    const TypeDescriptor wide(QString("[") + QChar(0x149));
    ASSERT_NE(wide.element, nullptr);
    EXPECT_EQ(wide.element->descriptor, QString(QChar(0)));
    EXPECT_FALSE(wide.element->isValid());
}

TEST(TypeDescriptor, OnlyBracketsIsInvalidWithoutElement)
{
    const TypeDescriptor brackets("[[[");
    EXPECT_FALSE(brackets.isValid());
    EXPECT_EQ(brackets.element, nullptr);
    EXPECT_EQ(brackets.toString(), "ERROR [[[");
}

TEST(TypeDescriptor, CopiesAreDeepAndIndependent)
{
    TypeDescriptor copy("[[Ljava/lang/Object;");
    {
        const TypeDescriptor original("[Ljava/lang/String;");
        copy = original;
        EXPECT_NE(copy.element.get(), original.element.get());
    }
    EXPECT_EQ(copy.element->descriptor, "Ljava/lang/String;");
    EXPECT_EQ(copy.toString(), "java.lang.String[]");
    copy = TypeDescriptor("I");
    EXPECT_EQ(copy.element, nullptr);
    const TypeDescriptor &self = copy;
    copy = self;
    EXPECT_EQ(copy.toString(), "int");
}

TEST(TypeDescriptor, EqualityByTextOrderByPrintedForm)
{
    const TypeDescriptor slashed("Lp/A;");
    const TypeDescriptor dotted("Lp.A;");
    EXPECT_NE(slashed, dotted);
    QMap<TypeDescriptor, bool> map;
    map.insert(slashed, true);
    map.insert(dotted, true);
    EXPECT_EQ(map.size(), 1);

    map.clear();
    for (const char *text : { "Ljava/lang/String;", "I", "[I", "Ljava/lang/Object;", "Z" })
        map.insert(TypeDescriptor(text), true);
    EXPECT_EQ(printed(map.keys()),
              QStringList({ "boolean", "int", "int[]", "java.lang.Object", "java.lang.String" }));
}

TEST(TypeDescriptor, FactoriesBuildClassDescriptors)
{
    EXPECT_EQ(TypeDescriptor::fromMungedClassDescriptorName("java/lang/Object").descriptor,
              "Ljava/lang/Object;");
    EXPECT_EQ(TypeDescriptor::fromMungedClassDescriptorName("java/lang/Object").toString(),
              "java.lang.Object");
    EXPECT_EQ(TypeDescriptor::fromMungedClassDescriptorName("[I").descriptor, "[I");
    EXPECT_EQ(TypeDescriptor::fromClassBinaryName("java.lang.Object").descriptor,
              "Ljava/lang/Object;");
    EXPECT_EQ(TypeDescriptor::fromClassFileName("java/lang/Object.class").descriptor,
              "Ljava/lang/Object;");
    EXPECT_EQ(TypeDescriptor::fromClassFileName("a/Outer$Inner.class").descriptor,
              "La/Outer$Inner;");
    EXPECT_EQ(TypeDescriptor::fromClassDescriptorName("J").toString(), "long");
}

TEST(TypeDescriptor, DescriptorListSplitsEveryKind)
{
    const QList<TypeDescriptor> list = TypeDescriptor::toDescriptorList("IJ[Ljava/lang/Object;Z");
    EXPECT_EQ(printed(list), QStringList({ "int", "long", "java.lang.Object[]", "boolean" }));
    EXPECT_TRUE(TypeDescriptor::toDescriptorList("").isEmpty());
    EXPECT_EQ(printed(TypeDescriptor::toDescriptorList("[[IXLa;")),
              QStringList({ "int[][]", "ERROR X", "a" }));
}

TEST(TypeDescriptor, DescriptorListEndsAtAnUnterminatedClassOrBracketRun)
{
    EXPECT_EQ(printed(TypeDescriptor::toDescriptorList("ILjava/lang")), QStringList({ "int" }));
    EXPECT_EQ(printed(TypeDescriptor::toDescriptorList("I[[Ljava")), QStringList({ "int" }));
    EXPECT_EQ(printed(TypeDescriptor::toDescriptorList("I[[")), QStringList({ "int", "ERROR [[" }));
}
