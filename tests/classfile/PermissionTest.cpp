#include "classfile/Permission.h"

#include <gtest/gtest.h>

TEST(Permission, NumbersMapToTheSharedInstancesAndWords)
{
    EXPECT_EQ(&Permission::fromInt(0), &Permission::PRIVATE);
    EXPECT_EQ(&Permission::fromInt(1), &Permission::PROTECTED);
    EXPECT_EQ(&Permission::fromInt(2), &Permission::PUBLIC);
    EXPECT_EQ(&Permission::fromInt(3), &Permission::PACKAGE);
    EXPECT_EQ(&Permission::fromInt(7), &Permission::PUBLIC);
    EXPECT_EQ(&Permission::fromInt(-1), &Permission::PUBLIC);
    EXPECT_EQ(Permission::PRIVATE.toString(), "private");
    EXPECT_EQ(Permission::PROTECTED.toString(), "protected");
    EXPECT_EQ(Permission::PUBLIC.toString(), "public");
    EXPECT_EQ(Permission::PACKAGE.toString(), "package");
    EXPECT_EQ(Permission(9).toString(), "invalid");
    EXPECT_EQ(Permission(2), Permission::PUBLIC);
    EXPECT_NE(Permission::PRIVATE, Permission::PACKAGE);
}

TEST(Permission, AccessFlagsFavourPublicThenProtectedThenPrivate)
{
    EXPECT_EQ(Permission::fromAccessFlags(0x0007), Permission::PUBLIC);
    EXPECT_EQ(Permission::fromAccessFlags(0x0006), Permission::PROTECTED);
    EXPECT_EQ(Permission::fromAccessFlags(0x0002 | 0x0010), Permission::PRIVATE);
    EXPECT_EQ(Permission::fromAccessFlags(0x0010 | 0x0008), Permission::PACKAGE);
}
