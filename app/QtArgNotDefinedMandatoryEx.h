#pragma once

#include "app/QtArgBaseException.h"

/// A mandatory option was not given.
class QtArgNotDefinedMandatoryEx : public QtArgBaseException
{
public:
    explicit QtArgNotDefinedMandatoryEx(const QString &name)
        : QtArgBaseException(QString("Not defined mandatory argument: %1").arg(name))
    {
    }
};
