#include "support/ClassFileBuilder.h"

#include <QDataStream>
#include <QHash>
#include <QPair>

#include <algorithm>

ClassFileBuilder::ClassFileBuilder(const QString &thisName, const QString &superName)
{
    thisClass = classInfo(thisName);
    if (!superName.isEmpty())
        superClass = classInfo(superName);
}

quint16 ClassFileBuilder::utf8(const QString &text)
{
    const auto known = utf8Indices.constFind(text);
    if (known != utf8Indices.constEnd())
        return known.value();
    const QByteArray bytes = text.toUtf8();
    const quint16 index
        = rawConstant(ByteWriter().u1(1).u2(quint32(bytes.size())).bytes(bytes).data());
    utf8Indices.insert(text, index);
    return index;
}

QByteArray ClassFileBuilder::codeAttribute(const QByteArray &code, const QList<QByteArray> &nested)
{
    ByteWriter body;
    body.u2(4).u2(4).u4(quint32(code.size())).bytes(code).u2(0).u2(quint32(nested.size()));
    for (const QByteArray &attribute : nested)
        body.bytes(attribute);
    return attribute(QStringLiteral("Code"), body.data());
}

QByteArray ClassFileBuilder::exceptionsAttribute(const QList<quint16> &classIndices)
{
    ByteWriter body;
    body.u2(quint32(classIndices.size()));
    for (quint16 index : classIndices)
        body.u2(index);
    return attribute(QStringLiteral("Exceptions"), body.data());
}

void ClassFileBuilder::addPrintingMain(const QString &text)
{
    const quint16 out = fieldRef("java/lang/System", "out", "Ljava/io/PrintStream;");
    const quint16 string = rawConstant(ByteWriter().u1(8).u2(utf8(text)).data());
    const quint16 println = methodRef("java/io/PrintStream", "println", "(Ljava/lang/String;)V");
    ByteWriter code; // getstatic, ldc_w, invokevirtual, return
    code.u1(0xb2).u2(out).u1(0x13).u2(string).u1(0xb6).u2(println).u1(0xb1);
    addMethod(0x0009, "main", "([Ljava/lang/String;)V", { codeAttribute(code.data()) });
}

void ClassFileBuilder::addUnusedDynamicConstant()
{
    const quint16 bootstrap = methodRef("java/lang/invoke/ConstantBootstraps",
                                        "nullConstant",
                                        "(Ljava/lang/invoke/MethodHandles$Lookup;Ljava/lang/String;"
                                        "Ljava/lang/Class;)Ljava/lang/Object;");
    const quint16 handle = rawConstant(ByteWriter().u1(15).u1(6).u2(bootstrap).data());
    rawConstant(ByteWriter().u1(17).u2(0).u2(nameAndType("x", "I")).data());
    addClassAttribute(attribute("BootstrapMethods", ByteWriter().u2(1).u2(handle).u2(0).data()));
}

QByteArray ClassFileBuilder::member(quint16 flags,
                                    const QString &name,
                                    const QString &descriptor,
                                    const QList<QByteArray> &attributes)
{
    ByteWriter bytes;
    bytes.u2(flags).u2(utf8(name)).u2(utf8(descriptor)).u2(quint32(attributes.size()));
    for (const QByteArray &attribute : attributes)
        bytes.bytes(attribute);
    return bytes.data();
}

namespace {

/// A table of ready entries after its count.
void table(ByteWriter &out, int count, const QList<QByteArray> &entries)
{
    out.u2(quint32(count));
    for (const QByteArray &entry : entries)
        out.bytes(entry);
}

} // namespace

QByteArray ClassFileBuilder::build() const
{
    ByteWriter out;
    out.u4(0xCAFEBABE).u2(0).u2(majorVersion);
    out.u2(quint32(poolCount >= 0 ? poolCount : nextIndex)).bytes(pool.data());
    out.u2(accessFlags).u2(thisClass).u2(superClass).u2(quint32(interfaces.size()));
    for (quint16 index : interfaces)
        out.u2(index);
    table(out, fieldCount >= 0 ? fieldCount : fields.size(), fields);
    table(out, methods.size(), methods);
    table(out, attributes.size(), attributes);
    return out.data();
}

QByteArray longCodeClass(const QString &name, int padding)
{
    ClassFileBuilder builder(name);
    const quint16 gone
        = builder.methodRef(QStringLiteral("q/B"), QStringLiteral("gone"), QStringLiteral("()V"));
    ByteWriter code;
    code.u1(184).u2(gone).u1(184).u2(gone).bytes(QByteArray(padding, '\0'));
    code.u1(184).u2(gone).u1(177);
    ByteWriter lines;
    lines.u2(2).u2(0).u2(5).u2(3).u2(9);
    builder.addMethod(
        0x0001,
        QStringLiteral("m"),
        QStringLiteral("()V"),
        { builder.codeAttribute(
            code.data(), { builder.attribute(QStringLiteral("LineNumberTable"), lines.data()) }) });
    return builder.build();
}

namespace {

/// Reads the parts of a class file that the rewrite copies; QDataStream reads big-endian.
class ClassFileReader
{
public:
    explicit ClassFileReader(const QByteArray &file)
        : in(file)
    {
    }

    quint8 u1() { return take<quint8>(); }
    quint16 u2() { return take<quint16>(); }
    quint32 u4() { return take<quint32>(); }
    QByteArray bytes(quint32 count)
    {
        QByteArray data(int(count), '\0');
        if (in.readRawData(data.data(), int(count)) != int(count))
            in.setStatus(QDataStream::ReadPastEnd);
        return data;
    }
    bool failed() const { return in.status() != QDataStream::Ok; }

    /// An attribute table, with the names of its attributes.
    QList<QPair<QString, QByteArray>> attributes(const QHash<quint16, QString> &texts)
    {
        QList<QPair<QString, QByteArray>> table;
        for (quint16 count = u2(); count > 0 && !failed(); --count) {
            const quint16 name = u2();
            const QByteArray body = bytes(u4());
            table.append({ texts.value(name),
                           ByteWriter().u2(name).u4(quint32(body.size())).bytes(body).data() });
        }
        return table;
    }

private:
    template<typename T> T take()
    {
        T value = 0;
        in >> value;
        return value;
    }

    QDataStream in;
};

void writeTable(ByteWriter &out, const QList<QPair<QString, QByteArray>> &table)
{
    out.u2(quint32(table.size()));
    for (const auto &entry : table)
        out.bytes(entry.second);
}

/// A Code attribute (name, length and body) without its StackMapTable.
QByteArray codeWithoutStackMap(const QByteArray &attribute, const QHash<quint16, QString> &texts)
{
    ClassFileReader in(attribute);
    const quint16 name = in.u2();
    in.u4();
    ByteWriter body;
    body.u2(in.u2()).u2(in.u2()); // max_stack, max_locals
    const quint32 length = in.u4();
    body.u4(length).bytes(in.bytes(length));
    const quint16 handlers = in.u2();
    body.u2(handlers).bytes(in.bytes(8u * handlers));
    QList<QPair<QString, QByteArray>> nested = in.attributes(texts);
    nested.erase(std::remove_if(nested.begin(),
                                nested.end(),
                                [](const auto &entry) { return entry.first == "StackMapTable"; }),
                 nested.end());
    writeTable(body, nested);
    return ByteWriter().u2(name).u4(quint32(body.data().size())).bytes(body.data()).data();
}

} // namespace

QByteArray withoutStackMaps(const QByteArray &classFile, quint16 major)
{
    ClassFileReader in(classFile);
    ByteWriter out;
    out.bytes(in.bytes(6)).u2(major); // magic, minor_version; major_version replaced
    in.u2();
    // The pool as it is, its Utf8 texts noted for the attribute names.
    QHash<quint16, QString> texts;
    const quint16 poolCount = in.u2();
    out.u2(poolCount);
    for (quint16 index = 1; index < poolCount && !in.failed(); ++index) {
        const quint8 tag = in.u1();
        out.u1(tag);
        if (tag == 1) {
            const quint16 length = in.u2();
            const QByteArray text = in.bytes(length);
            texts.insert(index, QString::fromUtf8(text));
            out.u2(length).bytes(text);
            continue;
        }
        const int wide = tag == 5 || tag == 6;
        index += quint16(wide);
        out.bytes(in.bytes(wide ? 8 : tag == 15 ? 3 : tag == 7 || tag == 8 || tag == 16 ? 2 : 4));
    }
    out.bytes(in.bytes(6)); // access_flags, this_class, super_class
    const quint16 interfaces = in.u2();
    out.u2(interfaces).bytes(in.bytes(2u * interfaces));
    for (int table = 0; table < 2; ++table) { // fields, then methods
        const quint16 members = in.u2();
        out.u2(members);
        for (quint16 i = 0; i < members && !in.failed(); ++i) {
            out.bytes(in.bytes(6)); // access_flags, name_index, descriptor_index
            QList<QPair<QString, QByteArray>> attributes = in.attributes(texts);
            for (auto &attribute : attributes) {
                if (attribute.first == "Code")
                    attribute.second = codeWithoutStackMap(attribute.second, texts);
            }
            writeTable(out, attributes);
        }
    }
    writeTable(out, in.attributes(texts));
    return in.failed() ? QByteArray() : out.data();
}
