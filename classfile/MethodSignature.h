#pragma once

#include "classfile/TypeDescriptor.h"

#include <QExplicitlySharedDataPointer>
#include <QList>
#include <QSharedData>
#include <QString>

/// One Java method descriptor such as `(ILjava/lang/String;)V`, split into its parameter and
/// return types. Shared and made once per distinct text on each thread, as a TypeDescriptor.
class MethodSignature
{
public:
    /// The signature of the empty text: no parameters and an invalid return type.
    MethodSignature();
    /// A text without `)` is malformed: it gets no parameters and an invalid return type.
    explicit MethodSignature(const QString &text);

    /// The printed parameter types joined by ", "; empty without parameters.
    QString getParameterString() const;

    bool operator==(const MethodSignature &other) const
    {
        return d == other.d || d->descriptor == other.d->descriptor;
    }
    bool operator!=(const MethodSignature &other) const { return !(*this == other); }

    const QString &getDescriptor() const { return d->descriptor; }
    const TypeDescriptor &getReturnType() const { return d->returnType; }
    const QList<TypeDescriptor> &getParameters() const { return d->parameters; }

private:
    struct Data : QSharedData
    {
        QString descriptor;
        TypeDescriptor returnType;
        QList<TypeDescriptor> parameters;
    };

    static QExplicitlySharedDataPointer<Data> parse(const QString &text);

    QExplicitlySharedDataPointer<Data> d;
};

Q_DECLARE_TYPEINFO(MethodSignature, Q_MOVABLE_TYPE);
