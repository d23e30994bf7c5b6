#pragma once

#include <QString>
#include <stdexcept>

/// Base of every error the command-line parser reports; what() is the message for the user,
/// in the local 8-bit encoding.
class QtArgBaseException : public std::runtime_error
{
public:
    explicit QtArgBaseException(const QString &message)
        : std::runtime_error(message.toLocal8Bit().toStdString())
    {
    }
};
