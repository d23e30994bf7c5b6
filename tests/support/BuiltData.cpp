#include "support/BuiltData.h"

#include <QFileInfo>

#include <gtest/gtest.h>

QString BuiltData::dir()
{
    return QStringLiteral(JCT_DATA_DIR);
}

QString BuiltData::path(const QString &relative)
{
    const QString path = dir() + "/" + relative;
    if (!QFileInfo::exists(path))
        ADD_FAILURE() << path.toStdString() << " is missing: run scripts/build-data for this build";
    return path;
}
