#pragma once

#include "classfile/MethodSignature.h"
#include "classfile/Permission.h"
#include "classfile/TypeDescriptor.h"

#include <QList>
#include <QString>

/// One method or constructor a class declares, whether read from a class file or a gold record.
class Method
{
public:
    virtual ~Method() = default;

    virtual QString getName() const = 0;
    virtual MethodSignature getSignature() const = 0;
    virtual Permission getPermission() const = 0;
    virtual bool isFinal() const = 0;
    virtual bool isStatic() const = 0;
    virtual bool isNative() const = 0;
    /// Declared without a body, to be implemented by subclasses. Gold files made before they
    /// recorded it answer false.
    virtual bool isAbstract() const = 0;
    /// The declared thrown classes.
    virtual QList<TypeDescriptor> getExceptions() const = 0;
    /// A use of this method is reported for inspection instead of being judged.
    virtual bool requireInspection() const = 0;
    /// The method accepts any descriptor (lookups by signature match it whatever is asked).
    virtual bool signaturePolymorphic() const = 0;
};
