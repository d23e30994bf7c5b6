#pragma once

#include <QString>

/// An access level of a class, field or method. The numbers are those of the gold format's
/// JPermission, so either converts to the other by number.
class Permission
{
public:
    enum Value { V_PRIVATE = 0, V_PROTECTED = 1, V_PUBLIC = 2, V_PACKAGE = 3 };

    constexpr explicit Permission(int value)
        : value(value)
    {
    }

    /// The shared instance of a number; any unknown number is public.
    static const Permission &fromInt(int value);
    /// Class-file access flags to a permission: public wins over protected over private; none of
    /// them is package access.
    static const Permission &fromAccessFlags(unsigned short accessFlags);

    /// "private", "protected", "public", "package", or "invalid" for any other number.
    QString toString() const;

    bool operator==(const Permission &other) const { return value == other.value; }
    bool operator!=(const Permission &other) const { return value != other.value; }

    // Constant-initialised (no constructor runs at start-up) and never destroyed.
    static const Permission PRIVATE;
    static const Permission PROTECTED;
    static const Permission PUBLIC;
    static const Permission PACKAGE;

    int value;
};
