#include "classfile/MethodSignature.h"

#include "classfile/InternTable.h"

#include <QStringList>

MethodSignature::MethodSignature()
{
    static const QExplicitlySharedDataPointer<Data> empty = parse(QString());
    d = empty;
}

MethodSignature::MethodSignature(const QString &text)
{
    thread_local InternTable<QExplicitlySharedDataPointer<Data>> byDescriptor;
    d = byDescriptor.get(text, [&text] { return parse(text); });
}

QExplicitlySharedDataPointer<MethodSignature::Data> MethodSignature::parse(const QString &text)
{
    QExplicitlySharedDataPointer<Data> data(new Data);
    data->descriptor = text;
    const int close = text.indexOf(QLatin1Char(')'));
    if (close < 0)
        return data;
    // The first character is normally `(` and is skipped whatever it is.
    data->parameters = TypeDescriptor::toDescriptorList(text.mid(1, close - 1));
    data->returnType = TypeDescriptor(text.mid(close + 1));
    return data;
}

QString MethodSignature::getParameterString() const
{
    QStringList names;
    names.reserve(d->parameters.size());
    for (const TypeDescriptor &parameter : d->parameters)
        names.append(parameter.toString());
    return names.join(QStringLiteral(", "));
}
