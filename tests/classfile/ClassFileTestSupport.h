#pragma once

#include "classfile/JavaClassFile.h"
#include "classfile/Permission.h"
#include "support/ClassFileBuilder.h"
#include "support/QtPrinters.h"

#include <QByteArray>
#include <QStringList>

#include <memory>
#include <ostream>

inline std::unique_ptr<JavaClassFile> parse(const QByteArray &bytes)
{
    return std::unique_ptr<JavaClassFile>(JavaClassFile::create(bytes.constData(), bytes.size()));
}

inline std::unique_ptr<JavaClassFile> parse(const ClassFileBuilder &builder)
{
    return parse(builder.build());
}

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
