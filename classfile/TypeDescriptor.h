#pragma once

#include <QExplicitlySharedDataPointer>
#include <QList>
#include <QSharedData>
#include <QString>

#include <optional>

/// One Java field descriptor (`I`, `Ljava/lang/String;`, `[[J`) with its kind, class name and
/// printed form. Values are compared by their descriptor text and ordered by their printed form.
///
/// A value is one pointer to parts that never change once made: copies share them, and each
/// thread makes them once per distinct text. The sharing is thread-safe, so a value may outlive
/// the thread that made it.
class TypeDescriptor
{
public:
    enum Kind {
        T_BYTE = 'B',
        T_CHAR = 'C',
        T_DOUBLE = 'D',
        T_FLOAT = 'F',
        T_INT = 'I',
        T_LONG = 'J',
        T_SHORT = 'S',
        T_VOID = 'V',
        T_BOOLEAN = 'Z',
        T_CLASS = 'L',
        T_ARRAY = '[',
        T_INVALID = -1
    };

    /// The invalid empty descriptor.
    TypeDescriptor();
    explicit TypeDescriptor(const QString &text);

    static TypeDescriptor fromClassDescriptorName(const QString &text);
    /// A class name as the constant pool stores it: `java/lang/Object` or an array descriptor.
    static TypeDescriptor fromMungedClassDescriptorName(const QString &text);
    /// A dotted class name: `java.lang.Object`.
    static TypeDescriptor fromClassBinaryName(const QString &text);
    /// A class file's path inside a jar or directory: `java/lang/Object.class`.
    static TypeDescriptor fromClassFileName(const QString &text);
    /// Splits concatenated descriptors such as the parameters of a method descriptor. A class
    /// element without its closing `;` ends the split and is dropped.
    static QList<TypeDescriptor> toDescriptorList(const QString &text);

    QString toString() const;
    QString toStringArray() const;

    bool isValid() const;
    bool isClass() const;
    bool isArray() const;

    bool operator==(const TypeDescriptor &other) const;
    bool operator!=(const TypeDescriptor &other) const { return !(*this == other); }
    /// Map order: by printed form, so two descriptors printed alike are one key.
    bool operator<(const TypeDescriptor &other) const;

    const QString &getDescriptor() const;
    int getType() const;
    /// The dotted name of the class kind; empty for every other kind.
    const QString &getClassName() const;
    int getDimensions() const;
    /// The element type of an array (never itself an array); null for every other kind.
    const TypeDescriptor *getElement() const;

private:
    struct Data;

    static QExplicitlySharedDataPointer<Data> parse(const QString &text);
    static void parseArray(Data &data);
    static QString printedForm(const Data &data);

    QExplicitlySharedDataPointer<Data> d;
};

Q_DECLARE_TYPEINFO(TypeDescriptor, Q_MOVABLE_TYPE);

struct TypeDescriptor::Data : QSharedData
{
    QString descriptor;
    int type = T_INVALID;
    QString className;
    int dimensions = 0;
    /// Empty for every kind but the array.
    std::optional<TypeDescriptor> element;
    QString printed;
};

// Read on every lookup and comparison of the lists: inline, after the parts they read.
inline QString TypeDescriptor::toString() const
{
    return d->printed;
}

inline bool TypeDescriptor::isValid() const
{
    return d->type != T_INVALID;
}

inline bool TypeDescriptor::isClass() const
{
    return d->type == T_CLASS;
}

inline bool TypeDescriptor::isArray() const
{
    return d->type == T_ARRAY;
}

inline bool TypeDescriptor::operator==(const TypeDescriptor &other) const
{
    return d == other.d || d->descriptor == other.d->descriptor;
}

inline bool TypeDescriptor::operator<(const TypeDescriptor &other) const
{
    return d != other.d && d->printed < other.d->printed;
}

inline const QString &TypeDescriptor::getDescriptor() const
{
    return d->descriptor;
}

inline int TypeDescriptor::getType() const
{
    return d->type;
}

inline const QString &TypeDescriptor::getClassName() const
{
    return d->className;
}

inline int TypeDescriptor::getDimensions() const
{
    return d->dimensions;
}

inline const TypeDescriptor *TypeDescriptor::getElement() const
{
    return d->element ? &*d->element : nullptr;
}

inline uint qHash(const TypeDescriptor &type, uint seed = 0)
{
    return qHash(type.getDescriptor(), seed);
}
