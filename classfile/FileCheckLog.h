#pragma once

#include <QString>
#include <QStringList>

/// The problems found while reading one class file, in the order they were met. Errors make the
/// class unusable; warnings alone never do.
struct FileCheckLog
{
    void warning(const QString &text);
    void error(const QString &text);

    QStringList messages;
    bool hasWarnings = false;
    bool hasErrors = false;
};
