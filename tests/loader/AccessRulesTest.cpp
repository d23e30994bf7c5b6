#include "classfile/Permission.h"
#include "loader/ClassLoader.h"
#include "loader/ProtoClass.h"

#include "JavaTypes.pb.h"

#include <gtest/gtest.h>

#include <deque>

namespace {

/// A loader over gold records made in the test, so that packages, parents and permissions can be
/// set freely (cycles included).
class RecordLoader : public ClassLoader
{
public:
    JClass &add(const char *name, const char *parent = nullptr, JPermission permission = JP_PUBLIC)
    {
        records.emplace_back();
        JClass &record = records.back();
        record.set_name(name);
        // The package of "Lp/A;" is "p"; of "LA;" the empty one.
        const QString text = QString(name).mid(1).chopped(1);
        record.set_package(
            text.left(qMax(0, text.lastIndexOf('/'))).replace('/', '.').toStdString());
        record.set_permission(permission);
        if (parent)
            record.set_parent(parent);
        return record;
    }

    Class *defineClass(const QString &name) override
    {
        for (const JClass &record : records) {
            if (ProtoClass::text(record.name()) == name)
                return new ProtoClass(record);
        }
        return nullptr;
    }

    const Class &operator[](const char *name)
    {
        Class *cls = loadClass(name);
        EXPECT_NE(cls, nullptr) << name;
        return *cls;
    }

    bool reaches(const char *user, const char *target)
    {
        return Permission::accessible(*this, (*this)[user], (*this)[target]);
    }
    bool isA(const char *cls, const char *of)
    {
        return isInstanceOf(*this, (*this)[cls], (*this)[of]);
    }

private:
    std::deque<JClass> records; // stable addresses: the classes point into them
};

void addMembers(JClass &record, JPermission permission, const char *name)
{
    JMethod &method = *record.add_methods();
    method.set_name(name);
    method.set_descriptor_("()V");
    method.set_permission(permission);
    JField &field = *record.add_fields();
    field.set_name(name);
    field.set_descriptor_("I");
    field.set_permission(permission);
}

} // namespace

TEST(AccessRules, ClassesAreReachableWhenTheSamePublicOrOfTheSamePackage)
{
    RecordLoader loader;
    loader.add("Lp/Open;");
    loader.add("Lp/Closed;", nullptr, JP_PACKAGE);
    loader.add("Lp/Neighbour;");
    loader.add("Lq/Stranger;");
    loader.add("LTop;", nullptr, JP_PACKAGE);
    loader.add("LOther;");
    EXPECT_TRUE(loader.reaches("Lp/Closed;", "Lp/Closed;"));
    EXPECT_TRUE(loader.reaches("Lq/Stranger;", "Lp/Open;"));
    EXPECT_TRUE(loader.reaches("Lp/Neighbour;", "Lp/Closed;"));
    EXPECT_FALSE(loader.reaches("Lq/Stranger;", "Lp/Closed;"));
    // Two classes of the default package share the empty package.
    EXPECT_TRUE(loader.reaches("LOther;", "LTop;"));
    EXPECT_FALSE(loader.reaches("Lq/Stranger;", "LTop;"));
}

TEST(AccessRules, MemberPermissionsDecideAccordingToPackageAndSubclass)
{
    RecordLoader loader;
    JClass &owner = loader.add("Lp/A;", "Ljava/lang/Object;");
    addMembers(owner, JP_PRIVATE, "secret");
    addMembers(owner, JP_PACKAGE, "shared");
    addMembers(owner, JP_PROTECTED, "guarded");
    addMembers(owner, JP_PUBLIC, "open");
    loader.add("Lp/B;", "Ljava/lang/Object;");
    loader.add("Lq/Sub;", "Lp/A;");
    loader.add("Lq/Grandchild;", "Lq/Sub;");
    loader.add("Lq/Other;", "Ljava/lang/Object;");

    const Class &target = loader["Lp/A;"];
    const char *from[] = { "Lp/A;", "Lp/B;", "Lq/Sub;", "Lq/Grandchild;", "Lq/Other;" };
    const struct
    {
        const char *member;
        bool allowed[5];
    } expectations[] = {
        { "secret", { true, false, false, false, false } },
        { "shared", { true, true, false, false, false } },
        { "guarded", { true, true, true, true, false } },
        { "open", { true, true, true, true, true } },
    };
    for (const auto &expected : expectations) {
        const Method &method = *target.getMethodsByName(expected.member).first();
        const Field &field = *target.getFieldByName(expected.member);
        for (int i = 0; i < 5; ++i) {
            const Class &user = loader[from[i]];
            EXPECT_EQ(Permission::accessible(loader, user, target, method), expected.allowed[i])
                << expected.member << " method from " << from[i];
            EXPECT_EQ(Permission::accessible(loader, user, target, field), expected.allowed[i])
                << expected.member << " field from " << from[i];
        }
    }
}

TEST(AccessRules, NothingOfAPackageClassIsReachableFromAnotherPackageEvenForSubclasses)
{
    RecordLoader loader;
    addMembers(loader.add("Lp/Hidden;", nullptr, JP_PACKAGE), JP_PUBLIC, "open");
    loader.add("Lq/Sub;", "Lp/Hidden;");
    loader.add("Lp/Friend;");
    const Class &hidden = loader["Lp/Hidden;"];
    const Method &open = *hidden.getMethodsByName("open").first();
    EXPECT_FALSE(Permission::accessible(loader, loader["Lq/Sub;"], hidden, open));
    EXPECT_FALSE(
        Permission::accessible(loader, loader["Lq/Sub;"], hidden, *hidden.getFieldByName("open")));
    EXPECT_TRUE(Permission::accessible(loader, loader["Lp/Friend;"], hidden, open));
}

TEST(AccessRules, InstanceOfFollowsSuperclassesOnlyAndEndsAtAMissingParentOrACycle)
{
    RecordLoader loader;
    loader.add("Ljava/lang/Object;");
    loader.add("Lp/Base;", "Ljava/lang/Object;");
    loader.add("Lp/Middle;", "Lp/Base;").add_interfaces("Lp/Marker;");
    loader.add("Lp/Marker;", "Ljava/lang/Object;").set_interface(true);
    loader.add("Lp/Leaf;", "Lp/Middle;");
    loader.add("Lp/Unrelated;", "Ljava/lang/Object;");
    loader.add("Lp/Orphan;", "Lp/Gone;");
    loader.add("Lp/Ping;", "Lp/Pong;");
    loader.add("Lp/Pong;", "Lp/Ping;");
    loader.add("Lp/Self;", "Lp/Self;");
    EXPECT_TRUE(loader.isA("Lp/Leaf;", "Lp/Leaf;"));
    EXPECT_TRUE(loader.isA("Lp/Leaf;", "Lp/Base;"));
    EXPECT_TRUE(loader.isA("Lp/Leaf;", "Ljava/lang/Object;"));
    EXPECT_FALSE(loader.isA("Lp/Leaf;", "Lp/Unrelated;"));
    EXPECT_FALSE(loader.isA("Lp/Leaf;", "Lp/Marker;"));
    EXPECT_FALSE(loader.isA("Lp/Base;", "Lp/Leaf;"));
    EXPECT_FALSE(loader.isA("Lp/Orphan;", "Lp/Unrelated;"));
    EXPECT_FALSE(loader.isA("Lp/Ping;", "Lp/Unrelated;"));
    EXPECT_FALSE(loader.isA("Lp/Self;", "Lp/Unrelated;"));
    EXPECT_TRUE(loader.isA("Lp/Ping;", "Lp/Pong;"));
    // The class itself is recognised before the loader is asked for it.
    EXPECT_TRUE(loader.isA("Lp/Orphan;", "Lp/Orphan;"));
}
