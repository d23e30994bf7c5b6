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
        entries.append({ path, data, false });
        return *this;
    }
    JarBuilder &addDirectory(const QString &path)
    {
        entries.append({ path, {}, true });
        return *this;
    }
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
    };

    QList<Entry> entries;
    bool tar = false;
};
