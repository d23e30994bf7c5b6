#pragma once

#include <QByteArray>
#include <QString>

#include <exception>

/// A format error met while reading a class file. Internal to the reader: it is caught where the
/// reading started and recorded in the class file's check log, never passed to callers.
class BadClassFileException : public std::exception
{
public:
    explicit BadClassFileException(const QString &message)
        : message(message.toLocal8Bit())
    {
    }

    const char *what() const noexcept override { return message.constData(); }

private:
    QByteArray message;
};
