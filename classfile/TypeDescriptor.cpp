#include "classfile/TypeDescriptor.h"

#include <QStringBuilder>

namespace {

QString primitiveName(int kind)
{
    switch (kind) {
    case TypeDescriptor::T_BYTE:
        return QStringLiteral("byte");
    case TypeDescriptor::T_CHAR:
        return QStringLiteral("char");
    case TypeDescriptor::T_DOUBLE:
        return QStringLiteral("double");
    case TypeDescriptor::T_FLOAT:
        return QStringLiteral("float");
    case TypeDescriptor::T_INT:
        return QStringLiteral("int");
    case TypeDescriptor::T_LONG:
        return QStringLiteral("long");
    case TypeDescriptor::T_SHORT:
        return QStringLiteral("short");
    case TypeDescriptor::T_VOID:
        return QStringLiteral("void");
    case TypeDescriptor::T_BOOLEAN:
        return QStringLiteral("boolean");
    default:
        return QString();
    }
}

bool isPrimitive(ushort c)
{
    switch (c) {
    case 'B':
    case 'C':
    case 'D':
    case 'F':
    case 'I':
    case 'J':
    case 'S':
    case 'V':
    case 'Z':
        return true;
    default:
        return false;
    }
}

// First and last character dropped, whatever they are; internal `/` become `.`. One pass and one
// allocation: every class name of every class file goes through here.
QString dottedClassName(const QString &descriptor)
{
    const int length = descriptor.size() - 2;
    if (length <= 0)
        return QString();
    QString name(length, Qt::Uninitialized);
    const QChar *from = descriptor.constData() + 1;
    QChar *to = name.data();
    for (int i = 0; i < length; ++i)
        to[i] = from[i] == QLatin1Char('/') ? QLatin1Char('.') : from[i];
    return name;
}

// The length of the class element starting at `from` (an `L`), up to and including its `;`;
// 0 when the text ends first.
int classElementLength(const QString &text, int from)
{
    const int end = text.indexOf(QLatin1Char(';'), from);
    return end < 0 ? 0 : end - from + 1;
}

} // namespace

TypeDescriptor::TypeDescriptor()
    : printed(computePrintedForm())
{
}

TypeDescriptor::TypeDescriptor(const QString &text)
    : descriptor(text)
{
    if (!text.isEmpty()) {
        const ushort first = text.at(0).unicode();
        if (isPrimitive(first)) {
            type = first;
        } else if (first == T_CLASS) {
            type = T_CLASS;
            className = dottedClassName(text);
        } else if (first == T_ARRAY) {
            parseArray();
        }
    }
    printed = computePrintedForm();
}

TypeDescriptor::TypeDescriptor(const TypeDescriptor &other)
    : descriptor(other.descriptor)
    , type(other.type)
    , className(other.className)
    , dimensions(other.dimensions)
    , element(other.element ? new TypeDescriptor(*other.element) : nullptr)
    , printed(other.printed)
{
}

TypeDescriptor &TypeDescriptor::operator=(const TypeDescriptor &other)
{
    if (this != &other) {
        TypeDescriptor copy(other);
        *this = std::move(copy);
    }
    return *this;
}

// A run of `[` with nothing after it has no element type: such a descriptor stays invalid.
void TypeDescriptor::parseArray()
{
    int run = 0;
    while (run < descriptor.size() && descriptor.at(run) == QLatin1Char('['))
        ++run;
    if (run == descriptor.size())
        return;
    type = T_ARRAY;
    dimensions = run;
    const QChar next = descriptor.at(run);
    if (next == QLatin1Char('L'))
        element.reset(new TypeDescriptor(descriptor.mid(run)));
    else
        element.reset(new TypeDescriptor(QString(next.unicode() > 255 ? QChar(0) : next)));
}

QString TypeDescriptor::computePrintedForm() const
{
    switch (type) {
    case T_INVALID:
        return QLatin1String("ERROR ") % descriptor;
    case T_CLASS:
        return className;
    case T_ARRAY:
        return toStringArray();
    default:
        return primitiveName(type);
    }
}

QString TypeDescriptor::toStringArray() const
{
    if (!element)
        return QString();
    QString text = element->toString();
    text.reserve(text.size() + 2 * dimensions);
    for (int i = 0; i < dimensions; ++i)
        text += QLatin1String("[]");
    return text;
}

TypeDescriptor TypeDescriptor::fromClassDescriptorName(const QString &text)
{
    return TypeDescriptor(text);
}

TypeDescriptor TypeDescriptor::fromMungedClassDescriptorName(const QString &text)
{
    if (text.startsWith(QLatin1Char('[')))
        return TypeDescriptor(text);
    return TypeDescriptor(QLatin1Char('L') % text % QLatin1Char(';'));
}

TypeDescriptor TypeDescriptor::fromClassBinaryName(const QString &text)
{
    QString internal = text;
    internal.replace(QLatin1Char('.'), QLatin1Char('/'));
    return TypeDescriptor(QLatin1Char('L') % internal % QLatin1Char(';'));
}

TypeDescriptor TypeDescriptor::fromClassFileName(const QString &text)
{
    QString name = text;
    name.remove(QStringLiteral(".class"));
    return fromClassBinaryName(name);
}

QList<TypeDescriptor> TypeDescriptor::toDescriptorList(const QString &text)
{
    QList<TypeDescriptor> list;
    int pos = 0;
    while (pos < text.size()) {
        int length = 1;
        if (text.at(pos) == QLatin1Char('L')) {
            length = classElementLength(text, pos);
        } else if (text.at(pos) == QLatin1Char('[')) {
            int end = pos;
            while (end < text.size() && text.at(end) == QLatin1Char('['))
                ++end;
            if (end < text.size()) {
                const int elementLength
                    = text.at(end) == QLatin1Char('L') ? classElementLength(text, end) : 1;
                length = elementLength == 0 ? 0 : end - pos + elementLength;
            } else {
                length = end - pos;
            }
        }
        if (length == 0)
            break;
        list.append(TypeDescriptor(text.mid(pos, length)));
        pos += length;
    }
    return list;
}
