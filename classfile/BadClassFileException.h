#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <exception>

/// A format error met while reading a class file. Internal to the reader: it is caught where the
/// reading started and recorded in the class file's check log, never passed to callers.
class BadClassFileException : public std::exception
{
public:
    /// A locatable error is one of the reader's own texts, which say where in the file it was
    /// met; the texts of the class-file format's own checks are kept word for word.
    explicit BadClassFileException(const QString &message, bool locatable = false)
        : text(message)
        , locatable(locatable)
    {
        update();
    }

    /// Names the table item the error was met in; called from the innermost item outwards.
    void addPlace(const QString &place)
    {
        if (!locatable)
            return;
        places.prepend(place);
        update();
    }

    const char *what() const noexcept override { return message.constData(); }

private:
    void update()
    {
        message = (places.isEmpty() ? text : text + " in " + places.join(", ")).toLocal8Bit();
    }

    QString text;
    bool locatable;
    QStringList places;
    QByteArray message;
};
