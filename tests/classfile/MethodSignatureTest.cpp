#include "classfile/MethodSignature.h"

#include <gtest/gtest.h>

TEST(MethodSignature, SplitsParametersAndReturnType)
{
    const MethodSignature signature("(ILjava/lang/String;[J)V");
    EXPECT_EQ(signature.descriptor, "(ILjava/lang/String;[J)V");
    ASSERT_EQ(signature.parameters.size(), 3);
    EXPECT_EQ(signature.returnType.toString(), "void");
    EXPECT_EQ(signature.getParameterString(), "int, java.lang.String, long[]");
    EXPECT_EQ(MethodSignature("()V").getParameterString(), "");
    EXPECT_EQ(MethodSignature("()[Ljava/lang/Object;").returnType.toString(), "java.lang.Object[]");
}

TEST(MethodSignature, MalformedTextsGiveNoParametersAndInvalidReturn)
{
    for (const char *text : { "", "V", "(I" }) {
        const MethodSignature signature(text);
        EXPECT_TRUE(signature.parameters.isEmpty()) << text;
        EXPECT_FALSE(signature.returnType.isValid()) << text;
        EXPECT_EQ(signature.descriptor, text);
    }
    // The opening character is skipped whatever it is.
    EXPECT_EQ(MethodSignature("xI)Z").getParameterString(), "int");
    EXPECT_EQ(MethodSignature("(I)").returnType.toString(), "ERROR ");
}
