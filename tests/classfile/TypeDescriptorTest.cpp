#include "ClassFileTestSupport.h"
#include "support/Golden.h"

#include <QMap>
#include <gtest/gtest.h>

#include <thread>

// Primitives are decided by the first character alone; class kinds drop the first and last
// character, whatever the last is; only Latin-1 letters can be kinds. A list ends at an
// unterminated class; a signature's opening character is skipped whatever it is.
TEST(TypeDescriptor, PrintsEveryKindOfDescriptorListAndSignature)
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
        if (type.getElement())
            out += QString(" of %1 dimensions of '%2'")
                       .arg(type.getDimensions())
                       .arg(type.getElement()->getDescriptor());
        out += '\n';
    }
    for (const QString &list :
         QString("IJ[Ljava/lang/Object;Z||[[IXLa;|ILjava/lang|I[[Ljava|I[[").split('|'))
        out += "list " + list + " -> " + texts(TypeDescriptor::toDescriptorList(list)).join(", ")
            + "\n";
    for (const QString &text :
         QString("(ILjava/lang/String;[J)V|()V|()[Ljava/lang/Object;||V|(I|xI)Z|(I)").split('|')) {
        const MethodSignature signature(text);
        out += QString("signature %1 -> %2 parameters (%3) returning %4%5\n")
                   .arg(text)
                   .arg(signature.getParameters().size())
                   .arg(signature.getParameterString(), signature.getReturnType().toString())
                   .arg(signature.getReturnType().isValid() ? "" : " (invalid)");
    }
    Golden::expectEqual("classfile/descriptors.txt", out.replace(QChar(0), "\\0").toUtf8());
}

TEST(TypeDescriptor, EqualityByTextOrderByPrintedForm)
{
    EXPECT_NE(TypeDescriptor("Lp/A;"), TypeDescriptor("Lp.A;"));
    QMap<TypeDescriptor, bool> map;
    for (const char *text : { "Lp/A;", "Lp.A;", "Ljava/lang/String;", "I", "[I", "Z" })
        map.insert(TypeDescriptor(text), true);
    EXPECT_EQ(texts(map.keys()).join(", "), "boolean, int, int[], java.lang.String, p.A");
}

// Classes are read on helper threads and tested on another: what a reading thread made must
// outlive it, including the parts it shares with every copy.
TEST(TypeDescriptor, ValuesOutliveTheThreadThatMadeThem)
{
    TypeDescriptor array;
    MethodSignature signature;
    std::thread reader([&] {
        array = TypeDescriptor::fromMungedClassDescriptorName("[[Lp/Made;");
        signature = MethodSignature("(Lp/Made;[I)Lp/Made;");
    });
    reader.join();
    ASSERT_NE(array.getElement(), nullptr);
    EXPECT_EQ(array.getElement()->getClassName(), "p.Made");
    EXPECT_EQ(array.toString(), "p.Made[][]");
    EXPECT_EQ(signature.getParameterString(), "p.Made, int[]");
    EXPECT_EQ(signature.getReturnType(), TypeDescriptor("Lp/Made;"));
}
