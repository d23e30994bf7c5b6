// The installation's gold files, as scripts/build-data makes them for this build.

#include "GoldTestSupport.h"

#include "gold/Pretest.h"
#include "support/BuiltData.h"
#include "support/Files.h"

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

void expectMarked(const JClass *record, const std::string &method, bool polymorphic, bool inspect)
{
    ASSERT_NE(record, nullptr);
    int found = 0;
    for (const JMethod &candidate : record->methods()) {
        if (candidate.name() != method)
            continue;
        ++found;
        EXPECT_EQ(candidate.signature_polymorphic(), polymorphic) << method;
        EXPECT_EQ(candidate.requireinspection(), inspect) << method;
    }
    EXPECT_GT(found, 0) << record->name() << " has no " << method;
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

    const JClass *handle = findRecord(*j2se8, "Ljava/lang/invoke/MethodHandle;");
    expectMarked(handle, "invoke", true, false);
    expectMarked(handle, "invokeExact", true, false);
    expectMarked(handle, "bindTo", false, false);
    for (const char *owner : { "Ljava/lang/System;", "Ljava/lang/Runtime;" }) {
        const JClass *record = findRecord(*j2se8, owner);
        expectMarked(record, "load", false, true);
        expectMarked(record, "loadLibrary", false, true);
        expectMarked(record, "gc", false, false);
    }

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
