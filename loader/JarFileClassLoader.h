#pragma once

#include "loader/JarFileReader.h"
#include "loader/JavaClassLoader.h"

#include <memory>
#include <vector>

/// The classes of one jar file. A name the jar does not hold is answered from the jar's name list
/// without touching the archive.
class JarFileClassLoader : public JavaClassLoader
{
public:
    explicit JarFileClassLoader(const QString &path);
    ~JarFileClassLoader() override;

    /// Loads every class entry in archive order, reading the archive once; class files are parsed
    /// on helper threads, and accepted, logged and cached here in archive order.
    void loadAllClasses() override;
    QByteArray readClassData(const QString &name) override;

    const QStringList &getClassNames() const { return reader->getClassNames(); }
    /// Whether a Java runtime would not open the jar at all, so that none of it is read.
    bool isRefused() const { return !reader->getProblem().isEmpty(); }
    QString getSource() const override { return path; }
    QString getClassFilePath(const QString &internalName) const override
    {
        return reader->getClassFilePath(internalName);
    }

private:
    struct RawEntry;
    struct ParsedBatch;
    static ParsedBatch parseBatch(std::vector<RawEntry> entries, bool outlineOnly);
    void acceptBatch(ParsedBatch batch, int &next);
    void loadUpTo(int position, int &next);

    QString path;
    std::unique_ptr<JarFileReader> reader;
};
