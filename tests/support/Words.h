#pragma once

#include <QStringList>

/// The words of a command line written as one text, split at spaces: no word of a test's command
/// lines holds one.
inline QStringList words(const QString &line)
{
    return line.split(' ', Qt::SkipEmptyParts);
}
