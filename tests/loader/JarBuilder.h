#pragma once

#include "support/Files.h"

#include <QByteArray>
#include <QList>
#include <QString>

/// Writes zip archives with chosen entries, in the order they were added, for jar tests.
class JarBuilder
{
public:
    JarBuilder &add(const QString &path, const QByteArray &data)
    {
        return entry(path, data, false, false);
    }
    /// An entry stored without compression, so its bytes can be found and patched in the file.
    JarBuilder &addStored(const QString &path, const QByteArray &data)
    {
        return entry(path, data, false, true);
    }
    JarBuilder &addDirectory(const QString &path) { return entry(path, {}, true, false); }
    /// Writes a tar archive instead of a zip: what a jar must not be.
    JarBuilder &asTar()
    {
        tar = true;
        return *this;
    }
    void write(const QString &file) const;

private:
    struct Entry
    {
        QString path;
        QByteArray data;
        bool directory;
        bool stored;
    };
    JarBuilder &entry(const QString &path, const QByteArray &data, bool directory, bool stored)
    {
        entries.append({ path, data, directory, stored });
        return *this;
    }

    QList<Entry> entries;
    bool tar = false;
};
