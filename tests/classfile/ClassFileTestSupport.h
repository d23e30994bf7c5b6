#pragma once

#include "classfile/JavaClassFile.h"
#include "classfile/Permission.h"
#include "support/ClassFileBuilder.h"
#include "support/QtPrinters.h"

#include <QByteArray>
#include <QDirIterator>
#include <QStringList>

#include <memory>

inline std::unique_ptr<JavaClassFile> parse(const QByteArray &bytes)
{
    return std::unique_ptr<JavaClassFile>(JavaClassFile::create(bytes.constData(), bytes.size()));
}

inline std::unique_ptr<JavaClassFile> parse(const ClassFileBuilder &builder)
{
    return parse(builder.build());
}

inline QStringList messagesOf(const QByteArray &bytes)
{
    return parse(bytes)->checkLog.messages;
}

inline QStringList messagesOf(const ClassFileBuilder &builder)
{
    return messagesOf(builder.build());
}

/// The compiled Java fixtures, relative to JCT_FIXTURES_CLASSFILE "/classes/", in order.
inline QStringList fixtureClassFiles()
{
    const QString root = JCT_FIXTURES_CLASSFILE "/classes/";
    QStringList paths;
    for (QDirIterator it(root, { "*.class" }, QDir::Files, QDirIterator::Subdirectories);
         it.hasNext();)
        paths << it.next().mid(root.size());
    paths.sort();
    return paths;
}

/// The dependency lists as texts: classes printed, fields and methods by their keys.
inline QStringList printedClasses(const JavaClassFile &classFile)
{
    QStringList names;
    for (const TypeDescriptor &type : classFile.getDependentClasses())
        names.append(type.toString());
    return names;
}

inline QStringList fieldKeys(const JavaClassFile &classFile)
{
    QStringList keys;
    for (const DepField &field : classFile.getDependentFields())
        keys.append(field.getKey());
    return keys;
}

inline QStringList methodKeys(const JavaClassFile &classFile)
{
    QStringList keys;
    for (const DepMethod &method : classFile.getDependentMethods())
        keys.append(method.getKey());
    return keys;
}

/// What reading each case logged (and, when asked, its dependency lists: classes; fields;
/// methods), one line per case, to compare with a golden file under tests/data/classfile/.
class Outcomes
{
public:
    void add(const QString &name, const QByteArray &bytes, bool withLists = false)
    {
        const auto file = parse(bytes);
        // The lists first: collecting them may log what the scan of code finds.
        const QString lists = withLists ? " => " + printedClasses(*file).join(' ') + "; "
                + fieldKeys(*file).join(' ') + "; " + methodKeys(*file).join(' ')
                                        : "";
        text += (name + ": " + file->checkLog.messages.join(" | ") + lists).toUtf8() + '\n';
    }
    void add(const QString &name, const ClassFileBuilder &builder, bool withLists = false)
    {
        add(name, builder.build(), withLists);
    }

    QByteArray text;
};
