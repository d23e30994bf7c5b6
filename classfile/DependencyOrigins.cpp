#include "classfile/DependencyOrigins.h"

#include "classfile/MethodSignature.h"

namespace {

// "casBase(long, long)" for "casBase(JJ)Z"; a field as it is.
QString memberText(const QString &member)
{
    const int open = member.indexOf('(');
    if (open < 0)
        return member;
    return QString("%1(%2)").arg(member.left(open),
                                 MethodSignature(member.mid(open)).getParameterString());
}

} // namespace

void DependencyOrigins::add(const Origin &origin)
{
    if (origin.place == P_CONSTANT_POOL) {
        if (kept.isEmpty())
            kept.append(origin);
        return;
    }
    if (kept.size() == 1 && kept.first().place == P_CONSTANT_POOL)
        kept.clear();
    if (kept.contains(origin))
        return;
    if (kept.size() < maxKept)
        kept.append(origin);
    else
        ++more;
}

QString DependencyOrigins::placeText(Place place)
{
    switch (place) {
    case P_CODE:
        return QStringLiteral("code");
    case P_SUPERCLASS:
        return QStringLiteral("superclass");
    case P_INTERFACE:
        return QStringLiteral("interface");
    case P_FIELD_TYPE:
        return QStringLiteral("field type");
    case P_METHOD_SIGNATURE:
        return QStringLiteral("method signature");
    case P_THROWS:
        return QStringLiteral("throws clause");
    case P_CONSTANT_POOL:
        break;
    }
    return QStringLiteral("constant pool");
}

DependencyOrigins::Place DependencyOrigins::placeOf(const QString &text)
{
    for (int place = P_CODE; place < P_CONSTANT_POOL; ++place) {
        if (text == placeText(Place(place)))
            return Place(place);
    }
    return P_CONSTANT_POOL;
}

QString DependencyOrigins::describe(const Origin &origin)
{
    const QString member = memberText(origin.member);
    if (origin.place == P_CODE)
        return origin.line > 0 ? QString("%1, line %2").arg(member).arg(origin.line) : member;
    const QString place = placeText(origin.place);
    return member.isEmpty() ? place : QString("%1 of %2").arg(place, member);
}
