#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QtGlobal>

/// Appends big-endian numbers and bytes: the raw material of class files, attributes and code.
class ByteWriter
{
public:
    ByteWriter &u1(quint32 value) { return bytes(QByteArray(1, char(value & 0xff))); }
    ByteWriter &u2(quint32 value) { return u1(value >> 8).u1(value); }
    ByteWriter &u4(quint32 value) { return u2(value >> 16).u2(value); }
    ByteWriter &u8(quint64 value) { return u4(quint32(value >> 32)).u4(quint32(value)); }
    ByteWriter &bytes(const QByteArray &data)
    {
        buffer.append(data);
        return *this;
    }

    const QByteArray &data() const { return buffer; }

private:
    QByteArray buffer;
};

/// Builds class files for tests, valid by default, so that a test can corrupt exactly one thing:
/// pool entries are added one by one (each call returns the new index), members and attributes are
/// given as ready bytes, and the pool and field counts can be overridden.
class ClassFileBuilder
{
public:
    /// A public class `thisName` extending `superName` (no superclass when empty).
    explicit ClassFileBuilder(const QString &thisName = QStringLiteral("p/A"),
                              const QString &superName = QStringLiteral("java/lang/Object"));

    // Pool entries. Utf8 texts are shared: asking twice gives the same index.
    quint16 utf8(const QString &text);
    quint16 classInfo(const QString &internalName)
    {
        return rawConstant(ByteWriter().u1(7).u2(utf8(internalName)).data());
    }
    quint16 nameAndType(const QString &name, const QString &descriptor)
    {
        const quint16 nameIndex = utf8(name);
        return rawConstant(ByteWriter().u1(12).u2(nameIndex).u2(utf8(descriptor)).data());
    }
    quint16 fieldRef(const QString &owner, const QString &name, const QString &descriptor)
    {
        return reference(9, owner, name, descriptor);
    }
    quint16 methodRef(const QString &owner, const QString &name, const QString &descriptor)
    {
        return reference(10, owner, name, descriptor);
    }
    quint16 longConstant(qint64 value)
    {
        return rawConstant(ByteWriter().u1(5).u8(quint64(value)).data(), 2);
    }
    /// Any entry, tag included, as bytes; `width` is 2 for Long and Double.
    quint16 rawConstant(const QByteArray &entry, int width = 1)
    {
        pool.bytes(entry);
        nextIndex += width;
        return quint16(nextIndex - width);
    }
    /// A reference of kind `tag` made of raw indices.
    quint16 referenceOfIndices(quint8 tag, quint16 classIndex, quint16 nameAndTypeIndex)
    {
        return rawConstant(ByteWriter().u1(tag).u2(classIndex).u2(nameAndTypeIndex).data());
    }

    // Attributes and members as bytes.
    QByteArray attribute(const QString &name, const QByteArray &body)
    {
        return attribute(utf8(name), body);
    }
    QByteArray attribute(quint16 nameIndex, const QByteArray &body)
    {
        return ByteWriter().u2(nameIndex).u4(quint32(body.size())).bytes(body).data();
    }
    QByteArray codeAttribute(const QByteArray &code, const QList<QByteArray> &nested = {});
    QByteArray exceptionsAttribute(const QList<quint16> &classIndices);
    void addInterface(quint16 classIndex) { interfaces.append(classIndex); }
    void addField(quint16 flags,
                  const QString &name,
                  const QString &descriptor,
                  const QList<QByteArray> &attributes = {})
    {
        fields.append(member(flags, name, descriptor, attributes));
    }
    void addMethod(quint16 flags,
                   const QString &name,
                   const QString &descriptor,
                   const QList<QByteArray> &attributes = {})
    {
        methods.append(member(flags, name, descriptor, attributes));
    }
    /// A concrete method with this code.
    void addMethodWithCode(const QString &name, const QByteArray &code)
    {
        addMethod(0x0001, name, QStringLiteral("()V"), { codeAttribute(code) });
    }
    /// A `public static void main(String[])` that prints the text: a class the JVM can run.
    void addPrintingMain(const QString &text);
    /// A dynamic constant nothing uses, with the bootstrap method it names (Java 11 and later).
    void addUnusedDynamicConstant();
    void addRawField(const QByteArray &field) { fields.append(field); }
    void addRawMethod(const QByteArray &method) { methods.append(method); }
    void addClassAttribute(const QByteArray &attribute) { attributes.append(attribute); }

    QByteArray build() const;
    /// A builder stands for the class file it builds wherever bytes are asked for.
    operator QByteArray() const { return build(); }

    quint16 majorVersion = 52;
    quint16 accessFlags = 0x0021;
    quint16 thisClass = 0;
    quint16 superClass = 0;
    /// Overrides for the counts; -1 keeps the real one.
    int poolCount = -1;
    int fieldCount = -1;

private:
    QByteArray member(quint16 flags,
                      const QString &name,
                      const QString &descriptor,
                      const QList<QByteArray> &attributes);
    quint16
    reference(quint8 tag, const QString &owner, const QString &name, const QString &descriptor)
    {
        const quint16 ownerIndex = classInfo(owner);
        return referenceOfIndices(tag, ownerIndex, nameAndType(name, descriptor));
    }

    ByteWriter pool;
    int nextIndex = 1;
    QHash<QString, quint16> utf8Indices;
    QList<quint16> interfaces;
    QList<QByteArray> fields;
    QList<QByteArray> methods;
    QList<QByteArray> attributes;
};

/// A class whose method m()V calls q/B.gone()V on line 5, again on line 9, then runs `padding`
/// nops, calls it once more and returns: code as long as a test needs, with something missing.
QByteArray longCodeClass(const QString &name, int padding);

/// A class file of javac as a compiler before Java 6 wrote it: another major version, and code
/// without stack map frames, so that the JVM infers the types of the code itself.
QByteArray withoutStackMaps(const QByteArray &classFile, quint16 major);
