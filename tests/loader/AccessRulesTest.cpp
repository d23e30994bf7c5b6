#include "classfile/Permission.h"
#include "loader/ClassLoader.h"
#include "loader/ProtoClass.h"
#include "support/Golden.h"
#include "support/ProtoData.h"

#include "JavaTypes.pb.h"

#include <gtest/gtest.h>

namespace {

/// A loader over gold records written for the test, so that packages, parents and permissions
/// can be set freely (cycles included).
class RecordLoader : public ClassLoader
{
public:
    Class *defineClass(const QString &name) override
    {
        for (const JClass &record : records.classes()) {
            if (ProtoClass::text(record.name()) == name)
                return new ProtoClass(record);
        }
        return nullptr;
    }

private:
    const JClasses records = protoData<JClasses>("loader/access.textproto");
};

QString yes(bool answer)
{
    return answer ? "yes" : "no";
}

/// The answer to "reaches USER TARGET", "reaches USER TARGET.MEMBER [via REFERENCED]" or
/// "isA CLASS OF".
QString answer(RecordLoader &loader, const QStringList &question)
{
    const QStringList target = question.value(2).split('.');
    const Class *first = loader.loadClass(question.value(1));
    const Class *second = loader.loadClass(target.first());
    const Class *referenced = question.size() > 4 ? loader.loadClass(question.at(4)) : second;
    if (!first || !second || !referenced)
        return "unknown class";
    if (question.first() == "isA")
        return yes(isInstanceOf(loader, *first, *second));
    if (target.size() == 1)
        return yes(Permission::accessible(loader, *first, *second));
    const Method *method = second->getMethodsByName(target.at(1)).value(0);
    const Field *field = second->getFieldByName(target.at(1));
    if (!method || !field)
        return "unknown member";
    const bool toMethod = Permission::accessible(loader, *first, *referenced, *second, *method);
    const bool toField = Permission::accessible(loader, *first, *referenced, *second, *field);
    return toMethod == toField ? yes(toMethod)
                               : "method " + yes(toMethod) + ", field " + yes(toField);
}

} // namespace

// The table holds each question with its answer; answering them again must give the same file.
TEST(AccessRules, ClassesMembersAndInstancesAreDecidedByPackageSubclassAndPermission)
{
    RecordLoader loader;
    Golden::expectAnswered("loader/access.txt", [&loader](const QStringList &question) {
        return answer(loader, question);
    });
}
