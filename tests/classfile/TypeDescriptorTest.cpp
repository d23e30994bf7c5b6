#include "classfile/TypeDescriptor.h"
#include "classfile/MethodSignature.h"
#include "support/Golden.h"
#include "support/QtPrinters.h"

#include <QMap>
#include <gtest/gtest.h>

namespace {

QString printed(const QList<TypeDescriptor> &types)
{
    QStringList names;
    for (const TypeDescriptor &type : types)
        names.append(type.toString());
    return names.join(", ");
}

} // namespace

// Primitives are decided by the first character alone; class kinds drop the first and last
// character, whatever the last is; only Latin-1 letters can be kinds.
TEST(TypeDescriptor, PrintsEveryKindOfDescriptor)
{
    QStringList inputs = QString("Bjunk C D F I J S V Z Ljava/util/Map$Entry; Lp/Ax [[I "
                                 "[Ljava/lang/String; [IJ X [X [[[")
                             .split(' ');
    // An array element above Latin-1 becomes the character 0.
    inputs << "" << QString(QChar(0x100 + 'I')) << QString("[") + QChar(0x149);
    QString out;
    for (const QString &input : inputs) {
        const TypeDescriptor type(input);
        out += input + " -> " + type.toString() + (type.isValid() ? "" : " (invalid)");
        if (type.element)
            out += QString(" of %1 dimensions of '%2'")
                       .arg(type.dimensions)
                       .arg(type.element->descriptor);
        out += '\n';
    }
    Golden::expectEqual("classfile/descriptors.txt", out.replace(QChar(0), "\\0").toUtf8());
}

TEST(TypeDescriptor, CopiesAreDeepAndIndependent)
{
    TypeDescriptor copy("[[Ljava/lang/Object;");
    {
        const TypeDescriptor original("[Ljava/lang/String;");
        copy = original;
        EXPECT_NE(copy.element.get(), original.element.get());
    }
    EXPECT_EQ(copy.toString(), "java.lang.String[]");
    copy = TypeDescriptor("I");
    EXPECT_EQ(copy.element, nullptr);
    const TypeDescriptor &self = copy;
    copy = self;
    EXPECT_EQ(copy.toString(), "int");
}

TEST(TypeDescriptor, EqualityByTextOrderByPrintedForm)
{
    EXPECT_NE(TypeDescriptor("Lp/A;"), TypeDescriptor("Lp.A;"));
    QMap<TypeDescriptor, bool> map;
    for (const char *text : { "Lp/A;", "Lp.A;", "Ljava/lang/String;", "I", "[I", "Z" })
        map.insert(TypeDescriptor(text), true);
    EXPECT_EQ(printed(map.keys()), "boolean, int, int[], java.lang.String, p.A");
}

TEST(TypeDescriptor, FactoriesBuildClassDescriptors)
{
    EXPECT_EQ(TypeDescriptor::fromMungedClassDescriptorName("java/lang/Object").descriptor,
              "Ljava/lang/Object;");
    EXPECT_EQ(TypeDescriptor::fromMungedClassDescriptorName("[I").descriptor, "[I");
    EXPECT_EQ(TypeDescriptor::fromClassBinaryName("java.lang.Object").descriptor,
              "Ljava/lang/Object;");
    EXPECT_EQ(TypeDescriptor::fromClassFileName("a/Outer$Inner.class").descriptor,
              "La/Outer$Inner;");
    EXPECT_EQ(TypeDescriptor::fromClassDescriptorName("J").toString(), "long");
}

TEST(TypeDescriptor, DescriptorListSplitsEveryKindAndEndsAtAnUnterminatedOne)
{
    const struct
    {
        const char *list;
        const char *printed;
    } cases[] = {
        { "IJ[Ljava/lang/Object;Z", "int, long, java.lang.Object[], boolean" },
        { "", "" },
        { "[[IXLa;", "int[][], ERROR X, a" },
        { "ILjava/lang", "int" },
        { "I[[Ljava", "int" },
        { "I[[", "int, ERROR [[" },
    };
    for (const auto &c : cases)
        EXPECT_EQ(printed(TypeDescriptor::toDescriptorList(c.list)), c.printed) << c.list;
}

TEST(MethodSignature, SplitsParametersAndReturnType)
{
    const MethodSignature signature("(ILjava/lang/String;[J)V");
    EXPECT_EQ(signature.getParameterString(), "int, java.lang.String, long[]");
    EXPECT_EQ(signature.returnType.toString(), "void");
    EXPECT_EQ(MethodSignature("()V").getParameterString(), "");
    EXPECT_EQ(MethodSignature("()[Ljava/lang/Object;").returnType.toString(), "java.lang.Object[]");
    for (const char *text : { "", "V", "(I" }) {
        const MethodSignature malformed(text);
        EXPECT_TRUE(malformed.parameters.isEmpty()) << text;
        EXPECT_FALSE(malformed.returnType.isValid()) << text;
    }
    // The opening character is skipped whatever it is.
    EXPECT_EQ(MethodSignature("xI)Z").getParameterString(), "int");
    EXPECT_EQ(MethodSignature("(I)").returnType.toString(), "ERROR ");
}
