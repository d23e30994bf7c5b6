#pragma once

#include "loader/Field.h"

class JField;

/// A field of a gold-file class; a view of its JField record.
class ProtoField : public Field
{
public:
    explicit ProtoField(const JField &record);

    QString getName() const override;
    TypeDescriptor getType() const override;
    Permission getPermission() const override;
    bool isFinal() const override;
    bool isStatic() const override;

private:
    const JField *record; // owned by the gold-file loader's root
};
