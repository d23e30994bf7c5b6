#pragma once

#include "classfile/TypeDescriptor.h"

#include <QList>
#include <QString>

/// One Java method descriptor such as `(ILjava/lang/String;)V`, split into its parameter and
/// return types.
class MethodSignature
{
public:
    /// The signature of the empty text: no parameters and an invalid return type.
    MethodSignature() = default;
    /// A text without `)` is malformed: it gets no parameters and an invalid return type.
    explicit MethodSignature(const QString &text);

    /// The printed parameter types joined by ", "; empty without parameters.
    QString getParameterString() const;

    bool operator==(const MethodSignature &other) const { return descriptor == other.descriptor; }
    bool operator!=(const MethodSignature &other) const { return descriptor != other.descriptor; }

    const QString &getDescriptor() const { return descriptor; }
    const TypeDescriptor &getReturnType() const { return returnType; }
    const QList<TypeDescriptor> &getParameters() const { return parameters; }

private:
    QString descriptor;
    TypeDescriptor returnType;
    QList<TypeDescriptor> parameters;
};
