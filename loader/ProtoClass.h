#pragma once

#include "loader/Class.h"

#include <string>

class JClass;

/// A class described by a gold-file record. The record belongs to the gold-file loader's root,
/// which outlives the class; destroying the class never touches the record.
class ProtoClass : public Class
{
public:
    explicit ProtoClass(const JClass &record);

    /// Gold-file text as the program reads it: one character per byte (Latin-1).
    static QString text(const std::string &bytes);

    int getMajorVersion() const override;
    QString getPackage() const override;
    bool isPlatformClass() const override { return true; }
    TypeDescriptor getName() const override;
    bool isAbstract() const override;
    bool isInterface() const override;
    TypeDescriptor getParent() const override;
    /// Whether the record carries a parent at all, even an empty one.
    bool hasParent() const override;
    Permission getPermission() const override;
    bool isFinal() const override;
    bool isStatic() const override;

private:
    const JClass *record; // owned by the gold-file loader's root
};
