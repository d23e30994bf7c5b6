#pragma once

#include "classfile/JavaClassFile.h"
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

/// A dependency list as texts: classes printed, fields and methods by their keys.
inline QString text(const TypeDescriptor &type)
{
    return type.toString();
}
template<typename Dependency> QString text(const Dependency &dependency)
{
    return dependency.getKey();
}
template<typename Dependency> QStringList texts(const QList<Dependency> &list)
{
    QStringList texts;
    for (const Dependency &dependency : list)
        texts << text(dependency);
    return texts;
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
        const QString lists = withLists ? " => " + texts(file->getDependentClasses()).join(' ')
                + "; " + texts(file->getDependentFields()).join(' ') + "; "
                + texts(file->getDependentMethods()).join(' ')
                                        : "";
        text += (name + ": " + file->checkLog.messages.join(" | ") + lists).toUtf8() + '\n';
    }

    QByteArray text;
};
