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
    JClass &add(const char *name, const char *package, JPermission permission = JP_PUBLIC)
    {
        records.emplace_back();
        JClass &record = records.back();
        record.set_name(name);
        record.set_package(package);
        record.set_permission(permission);
        return record;
    }

    JClass &add(const char *name, const char *package, const char *parent)
    {
        JClass &record = add(name, package);
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

    const Class &get(const char *name)
    {
        Class *cls = loadClass(name);
        EXPECT_NE(cls, nullptr) << name;
        return *cls;
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
    loader.add("Lp/Open;", "p");
    loader.add("Lp/Closed;", "p", JP_PACKAGE);
    loader.add("Lp/Neighbour;", "p");
    loader.add("Lq/Stranger;", "q");
    loader.add("LTop;", "", JP_PACKAGE);
    loader.add("LOther;", "");

    const Class &closed = loader.get("Lp/Closed;");
    EXPECT_TRUE(Permission::accessible(loader, closed, closed));
    EXPECT_TRUE(Permission::accessible(loader, loader.get("Lq/Stranger;"), loader.get("Lp/Open;")));
    EXPECT_TRUE(Permission::accessible(loader, loader.get("Lp/Neighbour;"), closed));
    EXPECT_FALSE(Permission::accessible(loader, loader.get("Lq/Stranger;"), closed));
    // Two classes of the default package share the empty package.
    EXPECT_TRUE(Permission::accessible(loader, loader.get("LOther;"), loader.get("LTop;")));
    EXPECT_FALSE(Permission::accessible(loader, loader.get("Lq/Stranger;"), loader.get("LTop;")));
}

TEST(AccessRules, MemberPermissionsDecideAccordingToPackageAndSubclass)
{
    RecordLoader loader;
    JClass &owner = loader.add("Lp/A;", "p", "Ljava/lang/Object;");
    addMembers(owner, JP_PRIVATE, "secret");
    addMembers(owner, JP_PACKAGE, "shared");
    addMembers(owner, JP_PROTECTED, "guarded");
    addMembers(owner, JP_PUBLIC, "open");
    loader.add("Lp/B;", "p", "Ljava/lang/Object;");
    loader.add("Lq/Sub;", "q", "Lp/A;");
    loader.add("Lq/Grandchild;", "q", "Lq/Sub;");
    loader.add("Lq/Other;", "q", "Ljava/lang/Object;");

    const Class &target = loader.get("Lp/A;");
    const char *from[] = { "Lp/A;", "Lp/B;", "Lq/Sub;", "Lq/Grandchild;", "Lq/Other;" };
    struct Expectation
    {
        const char *member;
        bool allowed[5];
    } const expectations[] = {
        { "secret", { true, false, false, false, false } },
        { "shared", { true, true, false, false, false } },
        { "guarded", { true, true, true, true, false } },
        { "open", { true, true, true, true, true } },
    };
    for (const Expectation &expected : expectations) {
        const Method &method = *target.getMethodsByName(expected.member).first();
        const Field &field = *target.getFieldByName(expected.member);
        for (int i = 0; i < 5; ++i) {
            const Class &user = loader.get(from[i]);
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
    addMembers(loader.add("Lp/Hidden;", "p", JP_PACKAGE), JP_PUBLIC, "open");
    loader.add("Lq/Sub;", "q", "Lp/Hidden;");
    loader.add("Lp/Friend;", "p");

    const Class &hidden = loader.get("Lp/Hidden;");
    const Method &open = *hidden.getMethodsByName("open").first();
    EXPECT_FALSE(Permission::accessible(loader, loader.get("Lq/Sub;"), hidden, open));
    EXPECT_FALSE(Permission::accessible(
        loader, loader.get("Lq/Sub;"), hidden, *hidden.getFieldByName("open")));
    EXPECT_TRUE(Permission::accessible(loader, loader.get("Lp/Friend;"), hidden, open));
}

TEST(AccessRules, InstanceOfFollowsSuperclassesOnly)
{
    RecordLoader loader;
    loader.add("Ljava/lang/Object;", "");
    loader.add("Lp/Base;", "p", "Ljava/lang/Object;");
    JClass &middle = loader.add("Lp/Middle;", "p", "Lp/Base;");
    middle.add_interfaces("Lp/Marker;");
    loader.add("Lp/Marker;", "p", "Ljava/lang/Object;").set_interface(true);
    loader.add("Lp/Leaf;", "p", "Lp/Middle;");
    loader.add("Lp/Unrelated;", "p", "Ljava/lang/Object;");

    const Class &leaf = loader.get("Lp/Leaf;");
    EXPECT_TRUE(isInstanceOf(loader, leaf, leaf));
    EXPECT_TRUE(isInstanceOf(loader, leaf, loader.get("Lp/Base;")));
    EXPECT_TRUE(isInstanceOf(loader, leaf, loader.get("Ljava/lang/Object;")));
    EXPECT_FALSE(isInstanceOf(loader, leaf, loader.get("Lp/Unrelated;")));
    EXPECT_FALSE(isInstanceOf(loader, leaf, loader.get("Lp/Marker;")));
    EXPECT_FALSE(isInstanceOf(loader, loader.get("Lp/Base;"), leaf));
}

TEST(AccessRules, InstanceOfEndsAtAMissingParentAndAtASuperclassCycle)
{
    RecordLoader loader;
    loader.add("Lp/Orphan;", "p", "Lp/Gone;");
    loader.add("Lp/Ping;", "p", "Lp/Pong;");
    loader.add("Lp/Pong;", "p", "Lp/Ping;");
    loader.add("Lp/Self;", "p", "Lp/Self;");
    loader.add("Lp/Unrelated;", "p");

    const Class &unrelated = loader.get("Lp/Unrelated;");
    EXPECT_FALSE(isInstanceOf(loader, loader.get("Lp/Orphan;"), unrelated));
    EXPECT_FALSE(isInstanceOf(loader, loader.get("Lp/Ping;"), unrelated));
    EXPECT_FALSE(isInstanceOf(loader, loader.get("Lp/Self;"), unrelated));
    EXPECT_TRUE(isInstanceOf(loader, loader.get("Lp/Ping;"), loader.get("Lp/Pong;")));
    // The class itself is recognised before the loader is asked for it.
    EXPECT_TRUE(isInstanceOf(loader, loader.get("Lp/Orphan;"), loader.get("Lp/Orphan;")));
}
