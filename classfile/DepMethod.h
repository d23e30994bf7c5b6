#pragma once

#include "classfile/MethodSignature.h"
#include "classfile/TypeDescriptor.h"

#include <QString>

/// A method of another class that bytecode uses (`<init>` for constructors). Ordered by one key
/// text, the owner's descriptor, the name and the signature's descriptor joined without
/// separators; equal key texts are one key.
class DepMethod
{
public:
    DepMethod() = default;
    DepMethod(const TypeDescriptor &owner, const QString &name, const MethodSignature &signature);

    const QString &getKey() const { return key; }

    bool operator==(const DepMethod &other) const { return key == other.key; }
    bool operator!=(const DepMethod &other) const { return key != other.key; }
    bool operator<(const DepMethod &other) const { return key < other.key; }

    const TypeDescriptor &getOwner() const { return owner; }
    const QString &getName() const { return name; }
    const MethodSignature &getSignature() const { return signature; }

private:
    // Set by the constructor only: the key is computed from them once.
    TypeDescriptor owner;
    QString name;
    MethodSignature signature;
    QString key;
};
