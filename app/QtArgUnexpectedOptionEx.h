#pragma once

#include "app/QtArgBaseException.h"

/// A bare word that no option took as its value.
class QtArgUnexpectedOptionEx : public QtArgBaseException
{
public:
    /// lastOption: the most recent option token as written, empty when none came before.
    QtArgUnexpectedOptionEx(const QString &word, const QString &lastOption)
        : QtArgBaseException(
            QString("Unexpected option: %1. Argument \"%2\" doesn't expect any values.")
                .arg(word, lastOption))
        , option(lastOption)
    {
    }

    QString lastOption() const { return option; }

private:
    QString option;
};
