#pragma once

#include "support/Files.h"

#include <QByteArray>
#include <QList>
#include <QString>

/// Writes zip archives with chosen entries, in the order they were added, for jar tests.
class JarBuilder
{
public:
    JarBuilder &add(const QString &path, const QByteArray &data);
    /// An entry stored without compression, so its bytes can be found and patched in the file.
    JarBuilder &addStored(const QString &path, const QByteArray &data);
    JarBuilder &addDirectory(const QString &path);
    /// Writes a tar archive instead of a zip: what a jar must not be.
    JarBuilder &asTar();
    void write(const QString &file) const;

private:
    struct Entry
    {
        QString path;
        QByteArray data;
        bool directory;
        bool stored;
    };
    QList<Entry> entries;
    bool tar = false;
};
