#pragma once

#include "loader/ClassLoader.h"

#include <QHash>

#include <google/protobuf/arena.h>

#include <memory>

class JClasses;

/// The classes of one gold file. Owns the file's root message, which its classes point into.
class ProtoClassLoader : public ClassLoader
{
public:
    /// Reads the gold file; throws std::runtime_error (already logged) when it cannot.
    explicit ProtoClassLoader(const QString &path);
    ~ProtoClassLoader() override;

    void loadAllClasses() override;
    /// A class over the first record of that exact name, or null.
    Class *defineClass(const QString &name) override;

private:
    // Freed before the base's cached classes that point into it: destroying a gold class never
    // reads its record.
    google::protobuf::Arena arena;
    JClasses *root; // owned by the arena
    QHash<QString, int> recordOf; // name -> index of its first record
};
