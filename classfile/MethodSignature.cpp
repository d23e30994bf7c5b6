#include "classfile/MethodSignature.h"

#include <QStringList>

MethodSignature::MethodSignature(const QString &text)
    : descriptor(text)
{
    const int close = text.indexOf(QLatin1Char(')'));
    if (close < 0)
        return;
    // The first character is normally `(` and is skipped whatever it is.
    parameters = TypeDescriptor::toDescriptorList(text.mid(1, close - 1));
    returnType = TypeDescriptor(text.mid(close + 1));
}

QString MethodSignature::getParameterString() const
{
    QStringList names;
    names.reserve(parameters.size());
    for (const TypeDescriptor &parameter : parameters)
        names.append(parameter.toString());
    return names.join(QStringLiteral(", "));
}
