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

std::unique_ptr<JClasses> readData(const QString &name)
{
    const QString path = dataFile(name);
    return QFileInfo::exists(path) ? readGold(path) : std::make_unique<JClasses>();
}

/// "Owner.method polymorphic inspect" for every method of that name, yes or no for each mark.
QStringList marks(const JClasses &root, const std::string &owner, const std::string &method)
{
    QStringList lines;
    const JClass *record = findRecord(root, owner);
    for (int i = 0; record && i < record->methods_size(); ++i) {
        const JMethod &candidate = record->methods(i);
        if (candidate.name() == method)
            lines << QString::fromStdString(owner + "." + method)
                    + (candidate.signature_polymorphic() ? " polymorphic" : "")
                    + (candidate.requireinspection() ? " inspect" : "");
    }
    return lines;
}

} // namespace

TEST(ReferenceData, J2se8DescribesTheJavaSe8ApiWithItsMarks)
{
    const auto j2se8 = readData("j2se8");

    const JClass *object = findRecord(*j2se8, "Ljava/lang/Object;");
    ASSERT_NE(object, nullptr);
    EXPECT_TRUE(object->has_parent());
    EXPECT_EQ(object->parent(), "");
    const JClass *list = findRecord(*j2se8, "Ljava/util/List;");
    ASSERT_NE(list, nullptr);
    EXPECT_TRUE(list->interface());

    const std::string handle = "Ljava/lang/invoke/MethodHandle;";
    QStringList marked = marks(*j2se8, handle, "invoke") + marks(*j2se8, handle, "invokeExact")
        + marks(*j2se8, handle, "bindTo");
    for (const char *owner : { "Ljava/lang/System;", "Ljava/lang/Runtime;" }) {
        for (const char *method : { "load", "loadLibrary", "gc" })
            marked += marks(*j2se8, owner, method);
    }
    Golden::expectEqual("gold/j2se8-marks.txt", marked.join('\n').toUtf8() + '\n');

    EXPECT_EQ(findRecord(*j2se8, "Lorg/omg/CORBA/ORB;"), nullptr);
    for (const JClass &record : j2se8->classes())
        EXPECT_EQ(record.major_version(), 52) << record.name();
}

TEST(ReferenceData, EveryFileHoldsItsApiOnceInOrder)
{
    const struct
    {
        const char *file;
        const char *member;
        const char *stranger;
    } expectations[] = {
        { "FormerlyCORBA", "Lorg/omg/CORBA/ORB;", "Ljava/lang/Object;" },
        { "j2ee8", "Ljavax/servlet/http/HttpServlet;", "Ljava/lang/Object;" },
        { "DRAV_common", "Ldrav/common/Status;", "Ldrav/ios/IoService;" },
        { "IOS", "Ldrav/ios/IoService;", "Ldrav/common/Status;" },
        { "TSS_type_independent", "Ldrav/tss/TransportService;", "Ldrav/common/Status;" },
        { "TSS_type_abstraction",
          "Ldrav/tss/abstraction/TypedTransport;",
          "Ldrav/tss/abstraction/AbstractTypedTransport$1;" },
    };
    for (const auto &expected : expectations) {
        SCOPED_TRACE(expected.file);
        const auto root = readData(expected.file);
        EXPECT_NE(findRecord(*root, expected.member), nullptr);
        EXPECT_EQ(findRecord(*root, expected.stranger), nullptr);
        for (int i = 1; i < root->classes_size(); ++i)
            EXPECT_LT(root->classes(i - 1).name(), root->classes(i).name());
    }
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
