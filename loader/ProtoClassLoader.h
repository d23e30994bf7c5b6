#pragma once

#include "goldformat/GoldFile.h"
#include "loader/ClassLoader.h"

#include <memory>

/// The classes of one gold file. Owns the opened file, whose records its classes point into; a
/// record is parsed when its class is first defined.
class ProtoClassLoader : public ClassLoader
{
public:
    explicit ProtoClassLoader(std::unique_ptr<GoldFile> file);
    ~ProtoClassLoader() override;

    void loadAllClasses() override;
    /// A class over the first record of that exact name, or null.
    Class *defineClass(const QString &name) override;

private:
    // Freed before the base's cached classes that point into it: destroying a gold class never
    // reads its record.
    std::unique_ptr<GoldFile> file;
};
