#pragma once

#include "classfile/Permission.h"
#include "classfile/TypeDescriptor.h"

#include <QString>

/// One field a class declares, whether read from a class file or a gold record.
class Field
{
public:
    virtual ~Field() = default;

    virtual QString getName() const = 0;
    virtual TypeDescriptor getType() const = 0;
    virtual Permission getPermission() const = 0;
    virtual bool isFinal() const = 0;
    virtual bool isStatic() const = 0;
};
