#include "loader/MemberResolution.h"

#include "goldformat/ProtoIO.h"
#include "loader/ClassLoader.h"
#include "support/Golden.h"
#include "support/ProtoData.h"

#include "JavaTypes.pb.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <memory>

namespace {

/// A loader chain over gold records written for the test.
class GoldLoader
{
public:
    explicit GoldLoader(JClasses records)
    {
        ProtoIO::write(&records, dir.filePath("records.javagold"));
        loader.reset(ClassLoader::create(Classpath(dir.filePath("records.javagold"))));
    }

    const Class &get(const QString &name) { return *loader->loadClass(name); }

    MemberResolution resolution()
    {
        return MemberResolution(
            [this](const QString &name) -> const Class * { return loader->loadClass(name); });
    }

private:
    QTemporaryDir dir;
    std::unique_ptr<ClassLoader> loader;
};

template<typename Member> QString declaringOf(const MemberResolution::Found<Member> &found)
{
    return found.member ? found.declaring->getName().getDescriptor() : QString("none");
}

QString answer(GoldLoader &gold, const QStringList &question)
{
    const MemberResolution resolution = gold.resolution();
    const Class &owner = gold.get(question.value(1));
    const QString name = question.value(2);
    if (question.first() == "field")
        return declaringOf(resolution.field(owner, name, TypeDescriptor(question.value(3))));
    const MethodSignature signature(question.value(3));
    return declaringOf(question.first() == "method"
                           ? resolution.method(owner, name, signature)
                           : resolution.interfaceMethod(owner, name, signature));
}

} // namespace

// The table holds each question with its answer; answering them again must give the same file.
TEST(MemberResolution, FieldsMethodsAndInterfaceMethodsAreFoundInTheOrderOfTheJvm)
{
    GoldLoader gold(protoData<JClasses>("loader/resolution.textproto"));
    Golden::expectAnswered("loader/resolution.txt",
                           [&gold](const QStringList &question) { return answer(gold, question); });
}

TEST(MemberResolution, HostileInterfaceLatticesAndLongChainsEndWithTheRightAnswer)
{
    JClasses records;
    const auto add = [&records](const QString &name) -> JClass & {
        JClass &record = *records.add_classes();
        record.set_name(name.toStdString());
        return record;
    };
    // Interfaces each extending the next two: a lattice in which a walk that searched every path
    // again would take exponential time.
    const int lattice = 60;
    for (int i = 0; i < lattice; ++i) {
        JClass &record = add(QString("Lh/I%1;").arg(i));
        record.set_interface(true);
        for (int next = i + 1; next <= i + 2 && next < lattice; ++next)
            record.add_interfaces(qPrintable(QString("Lh/I%1;").arg(next)));
    }
    JMethod &deep = *records.mutable_classes(lattice - 1)->add_methods();
    deep.set_name("deep");
    deep.set_descriptor_("()V");
    // A superclass chain far longer than any stack of recursive calls could follow, and classes
    // that name each other as parents.
    const int chain = 10000;
    for (int i = 0; i < chain; ++i)
        add(QString("Lh/C%1;").arg(i)).set_parent(qPrintable(QString("Lh/C%1;").arg(i + 1)));
    JField &top = *records.mutable_classes(records.classes_size() - 1)->add_fields();
    top.set_name("top");
    top.set_descriptor_("I");
    add("Lh/Ping;").set_parent("Lh/Pong;");
    add("Lh/Pong;").set_parent("Lh/Ping;");
    GoldLoader gold(records);
    const MemberResolution resolution = gold.resolution();

    const Class &lattice0 = gold.get("Lh/I0;");
    EXPECT_EQ(resolution.interfaceMethod(lattice0, "absent", MethodSignature("()V")).member,
              nullptr);
    EXPECT_NE(resolution.interfaceMethod(lattice0, "deep", MethodSignature("()V")).member, nullptr);
    const Class &bottom = gold.get("Lh/C0;");
    EXPECT_NE(resolution.field(bottom, "top", TypeDescriptor("I")).member, nullptr);
    EXPECT_EQ(resolution.field(bottom, "none", TypeDescriptor("I")).member, nullptr);
    EXPECT_EQ(resolution.method(gold.get("Lh/Ping;"), "none", MethodSignature("()V")).member,
              nullptr);
}
