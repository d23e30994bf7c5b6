#pragma once

#include "app/QtArgBaseException.h"

/// The program's own option table is inconsistent (a programming error, found at registration).
class QtArgDeclarationEx : public QtArgBaseException
{
public:
    explicit QtArgDeclarationEx(const QString &message)
        : QtArgBaseException(message)
    {
    }
};
