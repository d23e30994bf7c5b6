#include "classfile/FileCheckLog.h"

void FileCheckLog::warning(const QString &text)
{
    hasWarnings = true;
    messages.append(QStringLiteral("Warning - ") + text);
}

void FileCheckLog::error(const QString &text)
{
    hasErrors = true;
    messages.append(QStringLiteral("Error - ") + text);
}
