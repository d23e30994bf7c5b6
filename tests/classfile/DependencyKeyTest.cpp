#include "classfile/DepField.h"
#include "classfile/DepMethod.h"

#include <QMap>
#include <gtest/gtest.h>

TEST(DependencyKey, FieldsAreKeyedByTheJoinedTexts)
{
    const DepField out(
        TypeDescriptor("Ljava/lang/System;"), "out", TypeDescriptor("Ljava/io/PrintStream;"));
    EXPECT_EQ(out.getKey(), "Ljava/lang/System;outLjava/io/PrintStream;");
    // Different parts, same joined text: one key.
    const DepField a(TypeDescriptor("La;"), "bI", TypeDescriptor("I"));
    const DepField b(TypeDescriptor("La;"), "b", TypeDescriptor("II"));
    QMap<DepField, bool> map;
    map.insert(out, true);
    map.insert(a, true);
    map.insert(b, true);
    map.insert(out, true);
    EXPECT_EQ(map.size(), 2);
    EXPECT_EQ(map.firstKey().owner.descriptor, "La;");
}

TEST(DependencyKey, MethodsAreKeyedByTheJoinedTexts)
{
    const DepMethod init(TypeDescriptor("Ljava/lang/Object;"), "<init>", MethodSignature("()V"));
    EXPECT_EQ(init.getKey(), "Ljava/lang/Object;<init>()V");
    const DepMethod println(
        TypeDescriptor("Ljava/io/PrintStream;"), "println", MethodSignature("(I)V"));
    QMap<DepMethod, bool> map;
    map.insert(init, true);
    map.insert(println, true);
    map.insert(DepMethod(init), true);
    ASSERT_EQ(map.size(), 2);
    EXPECT_EQ(map.firstKey().name, "println");
    EXPECT_EQ(map.lastKey().signature.descriptor, "()V");
}
