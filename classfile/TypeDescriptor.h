#pragma once

#include <QList>
#include <QString>

#include <memory>

/// One Java field descriptor (`I`, `Ljava/lang/String;`, `[[J`) with its kind, class name and
/// printed form. Values are compared by their descriptor text and ordered by their printed form.
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
    TypeDescriptor(const TypeDescriptor &other);
    TypeDescriptor &operator=(const TypeDescriptor &other);
    TypeDescriptor(TypeDescriptor &&other) noexcept = default;
    TypeDescriptor &operator=(TypeDescriptor &&other) noexcept = default;
    ~TypeDescriptor() = default;

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

    QString toString() const { return printed; }
    QString toStringArray() const;

    bool isValid() const { return type != T_INVALID; }
    bool isClass() const { return type == T_CLASS; }
    bool isArray() const { return type == T_ARRAY; }

    bool operator==(const TypeDescriptor &other) const { return descriptor == other.descriptor; }
    bool operator!=(const TypeDescriptor &other) const { return descriptor != other.descriptor; }
    /// Map order: by printed form, so two descriptors printed alike are one key.
    bool operator<(const TypeDescriptor &other) const { return printed < other.printed; }

    const QString &getDescriptor() const { return descriptor; }
    int getType() const { return type; }
    /// The dotted name of the class kind; empty for every other kind.
    const QString &getClassName() const { return className; }
    int getDimensions() const { return dimensions; }
    /// The element type of an array (never itself an array); null for every other kind.
    const TypeDescriptor *getElement() const { return element.get(); }

private:
    void parseArray();
    QString computePrintedForm() const;

    // Set by the constructor only: the printed form is computed from them once.
    QString descriptor;
    int type = T_INVALID;
    QString className;
    int dimensions = 0;
    std::unique_ptr<TypeDescriptor> element;
    QString printed;
};

inline uint qHash(const TypeDescriptor &type, uint seed = 0)
{
    return qHash(type.getDescriptor(), seed);
}
