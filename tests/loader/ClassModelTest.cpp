// Classes from class files and from gold records answer the same questions; the golden files show
// every answer of the fixture classes.

#include "classfile/JavaClassFile.h"
#include "loader/JavaClass.h"
#include "loader/ProtoClass.h"
#include "support/ClassFileBuilder.h"
#include "support/Golden.h"
#include "support/ProtoData.h"
#include "support/QtPrinters.h"

#include "JavaTypes.pb.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

QString flags(std::initializer_list<std::pair<bool, const char *>> set)
{
    QString text;
    for (const auto &flag : set)
        text += flag.first ? QString(" ") + flag.second : QString();
    return text;
}

QString descriptors(const QList<TypeDescriptor> &types)
{
    QStringList texts;
    for (const TypeDescriptor &type : types)
        texts << type.getDescriptor();
    return texts.join(',');
}

QString describe(const Class &cls)
{
    QString text = cls.getName().getDescriptor() + " in '" + cls.getPackage() + "' version "
        + QString::number(cls.getMajorVersion()) + " "
        + (cls.hasParent() ? "extends '" + cls.getParent().getDescriptor() + "'" : "without parent")
        + " implements " + descriptors(cls.getInterfaces()) + " " + cls.getPermission().toString()
        + flags({ { cls.isAbstract(), "abstract" },
                  { cls.isInterface(), "interface" },
                  { cls.isFinal(), "final" },
                  { cls.isStatic(), "static" } })
        + "\n";
    for (const Field *field : cls.getFields())
        text += "  field " + field->getName() + " " + field->getType().getDescriptor() + " "
            + field->getPermission().toString()
            + flags({ { field->isFinal(), "final" }, { field->isStatic(), "static" } }) + "\n";
    for (const Method *method : cls.getMethods())
        text += "  method " + method->getName() + method->getSignature().getDescriptor() + " "
            + method->getPermission().toString()
            + flags({ { method->isFinal(), "final" },
                      { method->isStatic(), "static" },
                      { method->isNative(), "native" },
                      { method->requireInspection(), "inspect" },
                      { method->signaturePolymorphic(), "polymorphic" } })
            + " throws " + descriptors(method->getExceptions()) + "\n";
    return text;
}

/// What the class finds for each "name(descriptor)" as a method, and for each plain name as a
/// field.
QString lookups(const Class &cls, const QStringList &wanted)
{
    QString text;
    for (const QString &key : wanted) {
        const int open = key.indexOf('(');
        const Method *method = open < 0
            ? nullptr
            : cls.getMethodByNameAndSignature(key.left(open), MethodSignature(key.mid(open)));
        const QString found = open < 0
            ? (cls.getFieldByName(key) ? "a field" : "nothing")
            : (method ? method->getName() + method->getSignature().getDescriptor() : "nothing");
        text += "  " + key + " finds " + found + "\n";
    }
    return text;
}

std::unique_ptr<Class> fixture(const QString &relative)
{
    return std::make_unique<JavaClass>(
        JavaClassFile::create(JCT_FIXTURES_LOADER "/classes/" + relative + ".class"));
}

} // namespace

// A member class is static in its source, but the class file's own flags never say so.
TEST(JavaClass, AnswersFromTheClassFile)
{
    QString text;
    for (const char *name : { "Plain", "p/Marker", "p/Shape", "p/Square", "p/Square$Corner" })
        text += describe(*fixture(name));
    ClassFileBuilder root("Root", QString());
    root.accessFlags = 0x0600;
    QByteArray bytes = root.build();
    text += describe(JavaClass(JavaClassFile::create(bytes)));
    // Only declared members are seen (sides is the superclass's); copy()Lp/Square; and its bridge
    // copy()Lp/Shape; differ only in their return type.
    text += "lookups in Lp/Square;\n"
        + lookups(*fixture("p/Square"),
                  { "side", "sides", "SIDE", "copy()Lp/Square;", "copy()Lp/Shape;", "copy()V" });
    Golden::expectEqual("loader/java-classes.txt", text.toUtf8());
}

// A parent is there when the field is set, even empty; only public records are public classes
// (public being the field's default). Signature polymorphic methods match any signature.
TEST(ProtoClass, AnswersFromTheRecord)
{
    JClass record = protoData<JClass>("loader/method-handle.textproto");
    QString text = describe(ProtoClass(record))
        + lookups(ProtoClass(record),
                  { "invoke(ILjava/lang/String;)V", "bindTo(I)V", "bindTo(J)V" });
    record.set_parent("");
    text += describe(ProtoClass(record));
    for (JPermission permission : { JP_PUBLIC, JP_PRIVATE, JP_PROTECTED, JP_PACKAGE }) {
        record.set_permission(permission);
        text += describe(ProtoClass(record)).section('\n', 0, 0) + "\n";
    }
    Golden::expectEqual("loader/proto-class.txt", text.toUtf8());
}
