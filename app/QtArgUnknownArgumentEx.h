#pragma once

#include "app/QtArgBaseException.h"

/// A token names no option, or abbreviates more than one.
class QtArgUnknownArgumentEx : public QtArgBaseException
{
public:
    /// argument: the token as it is shown to the user, dashes included.
    explicit QtArgUnknownArgumentEx(const QString &argument)
        : QtArgBaseException(QString("Unknown argument: %1").arg(argument))
    {
    }
};
