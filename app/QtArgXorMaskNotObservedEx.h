#pragma once

#include "app/QtArgBaseException.h"

/// Two members of one mutually exclusive group were given.
class QtArgXorMaskNotObservedEx : public QtArgBaseException
{
public:
    /// first, second: the two members in group order, not in command-line order.
    QtArgXorMaskNotObservedEx(const QString &first, const QString &second)
        : QtArgBaseException(
            QString("Defined more than one argument under XOR mask. First defined argument: %1. "
                    "Second defined argument: %2.")
                .arg(first, second))
    {
    }
};
