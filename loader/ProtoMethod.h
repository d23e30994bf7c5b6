#pragma once

#include "loader/Method.h"

class JMethod;

/// A method of a gold-file class; a view of its JMethod record.
class ProtoMethod : public Method
{
public:
    explicit ProtoMethod(const JMethod &record);

    QString getName() const override;
    MethodSignature getSignature() const override;
    Permission getPermission() const override;
    bool isFinal() const override;
    bool isStatic() const override;
    bool isNative() const override { return false; }
    bool isAbstract() const override;
    QList<TypeDescriptor> getExceptions() const override;
    bool requireInspection() const override;
    bool signaturePolymorphic() const override;

private:
    const JMethod *record; // owned by the gold-file loader's root
};
