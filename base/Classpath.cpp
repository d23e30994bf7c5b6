#include "base/Classpath.h"

Classpath::Classpath(const QString &text)
{
    append(text);
}

void Classpath::append(const QString &text)
{
    QStringList::append(text.split(':', Qt::SkipEmptyParts));
}

void Classpath::append(const QStringList &entries)
{
    QStringList::append(entries);
}

QString Classpath::toString() const
{
    return join(':');
}
