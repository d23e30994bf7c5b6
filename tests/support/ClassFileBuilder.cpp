#include "support/ClassFileBuilder.h"

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
