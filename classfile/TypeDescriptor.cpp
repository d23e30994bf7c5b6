#include "classfile/TypeDescriptor.h"

#include "classfile/InternTable.h"

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

QString arrayForm(QString text, int dimensions)
{
    text.reserve(text.size() + 2 * dimensions);
    for (int i = 0; i < dimensions; ++i)
        text += QLatin1String("[]");
    return text;
}

} // namespace

TypeDescriptor::TypeDescriptor()
{
    static const QExplicitlySharedDataPointer<Data> empty = parse(QString());
    d = empty;
}

TypeDescriptor::TypeDescriptor(const QString &text)
{
    thread_local InternTable<QExplicitlySharedDataPointer<Data>> byDescriptor;
    d = byDescriptor.get(text, [&text] { return parse(text); });
}

QExplicitlySharedDataPointer<TypeDescriptor::Data> TypeDescriptor::parse(const QString &text)
{
    QExplicitlySharedDataPointer<Data> data(new Data);
    data->descriptor = text;
    if (!text.isEmpty()) {
        const ushort first = text.at(0).unicode();
        if (isPrimitive(first)) {
            data->type = first;
        } else if (first == T_CLASS) {
            data->type = T_CLASS;
            data->className = dottedClassName(text);
        } else if (first == T_ARRAY) {
            parseArray(*data);
        }
    }
    data->printed = printedForm(*data);
    return data;
}

// A run of `[` with nothing after it has no element type: such a descriptor stays invalid.
void TypeDescriptor::parseArray(Data &data)
{
    const QString &descriptor = data.descriptor;
    int run = 0;
    while (run < descriptor.size() && descriptor.at(run) == QLatin1Char('['))
        ++run;
    if (run == descriptor.size())
        return;
    data.type = T_ARRAY;
    data.dimensions = run;
    const QChar next = descriptor.at(run);
    if (next == QLatin1Char('L'))
        data.element = TypeDescriptor(descriptor.mid(run));
    else
        data.element = TypeDescriptor(QString(next.unicode() > 255 ? QChar(0) : next));
}

QString TypeDescriptor::printedForm(const Data &data)
{
    switch (data.type) {
    case T_INVALID:
        return QLatin1String("ERROR ") % data.descriptor;
    case T_CLASS:
        return data.className;
    case T_ARRAY:
        return arrayForm(data.element->toString(), data.dimensions);
    default:
        return primitiveName(data.type);
    }
}

QString TypeDescriptor::toStringArray() const
{
    return d->element ? arrayForm(d->element->toString(), d->dimensions) : QString();
}

TypeDescriptor TypeDescriptor::fromClassDescriptorName(const QString &text)
{
    return TypeDescriptor(text);
}

TypeDescriptor TypeDescriptor::fromMungedClassDescriptorName(const QString &text)
{
    if (text.startsWith(QLatin1Char('[')))
        return TypeDescriptor(text);
    // Looked up by the name itself, so that a name met again is not wrapped again.
    thread_local InternTable<TypeDescriptor> byInternalName;
    return byInternalName.get(
        text, [&text] { return TypeDescriptor(QLatin1Char('L') % text % QLatin1Char(';')); });
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
