#include "app/QtXorArg.h"

#include "app/QtArg.h"
#include "app/QtArgXorMaskNotObservedEx.h"

QtXorArg::QtXorArg(const QString &name, const QList<QtArg *> &members)
    : groupName(name)
    , groupMembers(members)
{
}

void QtXorArg::check() const
{
    const QtArg *first = nullptr;
    for (const QtArg *member : groupMembers) {
        if (!member->isDefined())
            continue;
        if (first)
            throw QtArgXorMaskNotObservedEx(first->name(), member->name());
        first = member;
    }
}
