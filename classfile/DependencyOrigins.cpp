#include "classfile/DependencyOrigins.h"

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
