#include "classfile/JavaClassFile.h"
#include "loader/JavaClass.h"
#include "loader/ProtoClass.h"
#include "support/ClassFileBuilder.h"
#include "support/QtPrinters.h"

#include "JavaTypes.pb.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

std::unique_ptr<Class> fixture(const QString &relative)
{
    return std::make_unique<JavaClass>(
        JavaClassFile::create(QString(JCT_FIXTURES_LOADER "/classes/") + relative));
}

std::unique_ptr<Class> built(const ClassFileBuilder &builder)
{
    QByteArray bytes = builder.build();
    return std::make_unique<JavaClass>(JavaClassFile::create(bytes));
}

QStringList printed(const QList<TypeDescriptor> &types)
{
    QStringList texts;
    for (const TypeDescriptor &type : types)
        texts << type.descriptor;
    return texts;
}

QStringList descriptorsOf(const QList<Method *> &methods)
{
    QStringList texts;
    for (const Method *method : methods)
        texts << method->getName() + method->getSignature().descriptor;
    return texts;
}

TEST(JavaClass, AnswersFromTheClassFile)
{
    const auto shape = fixture("p/Shape.class");
    EXPECT_EQ(shape->getName().descriptor, "Lp/Shape;");
    EXPECT_EQ(shape->getPackage(), "p");
    EXPECT_EQ(shape->getMajorVersion(), 52);
    EXPECT_TRUE(shape->hasParent());
    EXPECT_EQ(shape->getParent().descriptor, "Ljava/lang/Object;");
    EXPECT_EQ(printed(shape->getInterfaces()),
              (QStringList { "Ljava/lang/Comparable;", "Ljava/io/Serializable;" }));
    EXPECT_TRUE(shape->isAbstract());
    EXPECT_FALSE(shape->isInterface());
    EXPECT_FALSE(shape->isFinal());
    EXPECT_FALSE(shape->isStatic());
    EXPECT_EQ(shape->getPermission(), Permission::PUBLIC);
    EXPECT_FALSE(shape->getDependentClasses().isEmpty());

    const auto square = fixture("p/Square.class");
    EXPECT_TRUE(square->isFinal());
    EXPECT_FALSE(square->isAbstract());
    EXPECT_EQ(square->getParent().descriptor, "Lp/Shape;");
    // A member class is static in its source, but the class file's own flags never say so.
    EXPECT_FALSE(fixture("p/Square$Corner.class")->isStatic());
    EXPECT_EQ(fixture("Plain.class")->getPermission(), Permission::PACKAGE);
    EXPECT_EQ(fixture("Plain.class")->getPackage(), "");
    const auto marker = fixture("p/Marker.class");
    EXPECT_TRUE(marker->isInterface());
    EXPECT_TRUE(marker->isAbstract());
}

TEST(JavaClass, FieldsAndMethodsFollowTheClassFile)
{
    const auto shape = fixture("p/Shape.class");
    const QList<Field *> &fields = shape->getFields();
    ASSERT_EQ(fields.size(), 3);
    EXPECT_EQ(fields[0]->getName(), "serialVersionUID");
    EXPECT_EQ(fields[0]->getType().descriptor, "J");
    EXPECT_EQ(fields[0]->getPermission(), Permission::PRIVATE);
    EXPECT_TRUE(fields[0]->isFinal());
    EXPECT_TRUE(fields[0]->isStatic());
    EXPECT_EQ(fields[1]->getPermission(), Permission::PROTECTED);
    EXPECT_EQ(fields[2]->getPermission(), Permission::PACKAGE);

    const Method *describe = shape->getMethodByNameAndSignature("describe", MethodSignature("()V"));
    ASSERT_NE(describe, nullptr);
    EXPECT_EQ(printed(describe->getExceptions()),
              (QStringList { "Ljava/io/IOException;", "Ljava/lang/IllegalStateException;" }));
    EXPECT_EQ(describe->getPermission(), Permission::PACKAGE);
    const Method *hook = shape->getMethodsByName("nativeHook").value(0);
    ASSERT_NE(hook, nullptr);
    EXPECT_TRUE(hook->isNative());
    EXPECT_TRUE(hook->isStatic());
    EXPECT_FALSE(hook->requireInspection());
    EXPECT_FALSE(hook->signaturePolymorphic());
}

TEST(JavaClass, LookupsSeeOnlyDeclaredMembersAndTellSignaturesApart)
{
    const auto square = fixture("p/Square.class");
    EXPECT_EQ(square->getFieldByName("side")->getName(), "side");
    EXPECT_EQ(square->getFieldByName("sides"), nullptr); // declared by the superclass
    EXPECT_EQ(square->getFieldByName("SIDE"), nullptr);
    EXPECT_EQ(descriptorsOf(square->getMethodsByName("<init>")),
              (QStringList { "<init>()V", "<init>(I)V" }));
    EXPECT_TRUE(square->getMethodsByName("nothing").isEmpty());
    // copy()Lp/Square; and its bridge copy()Lp/Shape; differ only in their return type.
    const Method *own
        = square->getMethodByNameAndSignature("copy", MethodSignature("()Lp/Square;"));
    const Method *bridge
        = square->getMethodByNameAndSignature("copy", MethodSignature("()Lp/Shape;"));
    ASSERT_TRUE(own && bridge);
    EXPECT_NE(own, bridge);
    EXPECT_EQ(own->getSignature().descriptor, "()Lp/Square;");
    EXPECT_EQ(square->getMethodByNameAndSignature("copy", MethodSignature("()V")), nullptr);
    EXPECT_EQ(square->getMethodByNameAndSignature("<init>", MethodSignature("(I)V"))
                  ->getSignature()
                  .descriptor,
              "(I)V");
}

TEST(JavaClass, FlagsAndParentOfABuiltClass)
{
    ClassFileBuilder builder("Root", QString());
    builder.accessFlags = 0x0600;
    const auto root = built(builder);
    EXPECT_FALSE(root->hasParent());
    EXPECT_FALSE(root->getParent().isValid());
    EXPECT_TRUE(root->isAbstract());
    EXPECT_TRUE(root->isInterface());
    EXPECT_EQ(root->getPermission(), Permission::PACKAGE);
    EXPECT_TRUE(root->getFields().isEmpty());
}

class ProtoClassTest : public testing::Test
{
protected:
    void SetUp() override
    {
        record.set_name("Ljava/lang/invoke/MethodHandle;");
        record.set_package("java.lang.invoke");
        record.add_interfaces("Ljava/io/Serializable;");
        record.add_interfaces("Ljava/lang/Cloneable;");
        record.set_major_version(52);
        record.set_abstract(true);
        JField *field = record.add_fields();
        field->set_name("type");
        field->set_descriptor_("Ljava/lang/invoke/MethodType;");
        field->set_permission(JP_PROTECTED);
        field->set_final(true);
        addMethod("invoke", "([Ljava/lang/Object;)Ljava/lang/Object;")
            ->set_signature_polymorphic(true);
        addMethod("bindTo", "(Ljava/lang/Object;)Ljava/lang/invoke/MethodHandle;")
            ->set_requireinspection(true);
        addMethod("bindTo", "(I)V");
        JMethod *thrower = addMethod("invokeWithArguments", "(Ljava/util/List;)Ljava/lang/Object;");
        thrower->add_exceptions("Ljava/lang/Throwable;");
        thrower->add_exceptions("Ljava/io/IOException;");
        thrower->set_permission(JP_PRIVATE);
    }

    JMethod *addMethod(const char *name, const char *descriptor)
    {
        JMethod *method = record.add_methods();
        method->set_name(name);
        method->set_descriptor_(descriptor);
        return method;
    }

    JClass record;
};

TEST_F(ProtoClassTest, AnswersFromTheRecord)
{
    ProtoClass cls(record);
    EXPECT_EQ(cls.getName().toString(), "java.lang.invoke.MethodHandle");
    EXPECT_EQ(cls.getPackage(), "java.lang.invoke");
    EXPECT_EQ(cls.getMajorVersion(), 52);
    EXPECT_TRUE(cls.isAbstract());
    EXPECT_FALSE(cls.isInterface());
    EXPECT_EQ(printed(cls.getInterfaces()),
              (QStringList { "Ljava/io/Serializable;", "Ljava/lang/Cloneable;" }));
    const Field *type = cls.getFieldByName("type");
    ASSERT_NE(type, nullptr);
    EXPECT_EQ(type->getType().descriptor, "Ljava/lang/invoke/MethodType;");
    EXPECT_EQ(type->getPermission(), Permission::PROTECTED);
    EXPECT_TRUE(type->isFinal());
    EXPECT_FALSE(type->isStatic());
    const Method *thrower = cls.getMethodsByName("invokeWithArguments").value(0);
    ASSERT_NE(thrower, nullptr);
    EXPECT_EQ(printed(thrower->getExceptions()),
              (QStringList { "Ljava/lang/Throwable;", "Ljava/io/IOException;" }));
    EXPECT_EQ(thrower->getPermission(), Permission::PRIVATE);
    EXPECT_FALSE(thrower->isNative());
    EXPECT_TRUE(cls.getMethodsByName("bindTo").value(0)->requireInspection());
}

TEST_F(ProtoClassTest, ParentPresenceIsWhetherTheFieldIsSet)
{
    EXPECT_FALSE(ProtoClass(record).hasParent());
    record.set_parent("");
    EXPECT_TRUE(ProtoClass(record).hasParent());
    EXPECT_FALSE(ProtoClass(record).getParent().isValid());
}

TEST_F(ProtoClassTest, OnlyPublicRecordsArePublicClasses)
{
    EXPECT_EQ(ProtoClass(record).getPermission(), Permission::PUBLIC); // the field's default
    for (JPermission permission : { JP_PRIVATE, JP_PROTECTED, JP_PACKAGE }) {
        record.set_permission(permission);
        EXPECT_EQ(ProtoClass(record).getPermission(), Permission::PACKAGE);
    }
}

TEST_F(ProtoClassTest, SignaturePolymorphicMethodsMatchAnySignature)
{
    ProtoClass cls(record);
    const Method *invoke
        = cls.getMethodByNameAndSignature("invoke", MethodSignature("(ILjava/lang/String;)V"));
    ASSERT_NE(invoke, nullptr);
    EXPECT_TRUE(invoke->signaturePolymorphic());
    EXPECT_EQ(cls.getMethodByNameAndSignature("bindTo", MethodSignature("(I)V"))
                  ->getSignature()
                  .descriptor,
              "(I)V");
    EXPECT_EQ(cls.getMethodByNameAndSignature("bindTo", MethodSignature("(J)V")), nullptr);
}

TEST_F(ProtoClassTest, TextIsReadOneCharacterPerByte)
{
    record.mutable_fields(0)->set_name("caf\xE9");
    EXPECT_EQ(ProtoClass(record).getFields().at(0)->getName(), QString::fromUtf8("caf\xC3\xA9"));
}

} // namespace
