#pragma once

#include "classfile/TypeDescriptor.h"

#include <QString>

/// A field of another class that bytecode uses. Ordered by one key text, the owner's descriptor,
/// the name and the type's descriptor joined without separators; equal key texts are one key.
class DepField
{
public:
    DepField() = default;
    DepField(const TypeDescriptor &owner, const QString &name, const TypeDescriptor &type);

    const QString &getKey() const { return key; }

    bool operator==(const DepField &other) const { return key == other.key; }
    bool operator!=(const DepField &other) const { return key != other.key; }
    bool operator<(const DepField &other) const { return key < other.key; }

    const TypeDescriptor &getOwner() const { return owner; }
    const QString &getName() const { return name; }
    const TypeDescriptor &getType() const { return type; }

private:
    // Set by the constructor only: the key is computed from them once.
    TypeDescriptor owner;
    QString name;
    TypeDescriptor type;
    QString key;
};
