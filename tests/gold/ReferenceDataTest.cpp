// The installation's gold files, as scripts/build-data makes them for this build.

#include "GoldTestSupport.h"

#include "gold/Pretest.h"
#include "support/BuiltData.h"
#include "support/Files.h"
#include "support/Golden.h"

#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace GoldTestSupport;

namespace {

QString dataFile(const QString &name)
{
    return BuiltData::path("data/" + name + ".javagold");
}

/// Whether the record is there, its parent and kind, and the marks of the methods the reference
/// data marks.
QString summary(const JClasses &root, const QString &name)
{
    const JClass *record = findRecord(root, name.toStdString());
    if (!record)
        return "  " + name + " absent\n";
    QString text = "  " + name
        + (record->has_parent() ? " parent '" + QString::fromStdString(record->parent()) + "'" : "")
        + (record->interface() ? " interface" : "") + "\n";
    const QStringList marked { "invoke",      "invokeExact", "bindTo",     "load",
                               "loadLibrary", "gc",          "defineClass" };
    for (const JMethod &method : record->methods()) {
        const QString methodName = QString::fromStdString(method.name());
        if (marked.contains(methodName))
            text += "    " + methodName + (method.signature_polymorphic() ? " polymorphic" : "")
                + (method.requireinspection() ? " inspect" : "") + "\n";
    }
    return text;
}

} // namespace

// Each file holds its API and nothing of the others', in name order; the Java SE 8 API is of
// version 52 with its method handles, native loaders and class definers marked, and without
// CORBA. The lookup that defines classes came with Java 9: a use of it is not found at all.
TEST(ReferenceData, EveryFileHoldsItsApiOnceInOrderWithItsMarks)
{
    QString out;
    for (const char *line : {
             "j2se8 Ljava/lang/Object; Ljava/util/List; Ljava/lang/invoke/MethodHandle; "
             "Ljava/lang/System; Ljava/lang/Runtime; Ljava/lang/ClassLoader; "
             "Ljava/security/SecureClassLoader; Ljava/lang/invoke/MethodHandles$Lookup; "
             "Lorg/omg/CORBA/ORB;",
             "FormerlyCORBA Lorg/omg/CORBA/ORB; Ljava/lang/Object;",
             "j2ee8 Ljavax/servlet/http/HttpServlet; Ljava/lang/Object;",
             "DRAV_common Ldrav/common/Status; Ldrav/ios/IoService;",
             "IOS Ldrav/ios/IoService; Ldrav/common/Status;",
             "TSS_type_independent Ldrav/tss/TransportService; Ldrav/common/Status;",
             "TSS_type_abstraction Ldrav/tss/abstraction/TypedTransport; "
             "Ldrav/tss/abstraction/AbstractTypedTransport$1;",
         }) {
        const QStringList names = QString(line).split(' ');
        const auto root = readGold(dataFile(names.first()));
        out += names.first() + "\n";
        for (const QString &name : names.mid(1))
            out += summary(*root, name);
        for (int i = 1; i < root->classes_size(); ++i)
            EXPECT_LT(root->classes(i - 1).name(), root->classes(i).name());
        for (const JClass &record : root->classes())
            EXPECT_TRUE(names.first() != "j2se8" || record.major_version() == 52) << record.name();
    }
    Golden::expectEqual("gold/reference-data.txt", out.toUtf8());
}

TEST(ReferenceData, RebuildingGivesTheSameBytes)
{
    QTemporaryDir dir;
    for (const QString name :
         { "DRAV_common", "IOS", "TSS_type_independent", "TSS_type_abstraction" }) {
        const QString rebuilt = dir.filePath(name + ".javagold");
        Pretest::createGold(Classpath(BuiltData::path("refdata/" + name)), rebuilt);
        const QByteArray built = readFile(dataFile(name));
        EXPECT_FALSE(built.isEmpty()) << name.toStdString();
        EXPECT_EQ(readFile(rebuilt), built) << name.toStdString();
    }
}
