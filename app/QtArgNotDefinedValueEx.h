#pragma once

#include "app/QtArgBaseException.h"

/// An option that takes a value was the last token.
class QtArgNotDefinedValueEx : public QtArgBaseException
{
public:
    explicit QtArgNotDefinedValueEx(const QString &name)
        : QtArgBaseException(QString("Not defined value of the argument: %1").arg(name))
    {
    }
};
