#pragma once

#include "app/QtArgBaseException.h"

/// Ends parsing once the help has been printed; the caller ends the process without a message.
class QtArgHelpHasPrintedEx : public QtArgBaseException
{
public:
    QtArgHelpHasPrintedEx()
        : QtArgBaseException(QString())
    {
    }
};
