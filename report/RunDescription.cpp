#include "report/RunDescription.h"

#include "base/Options.h"
#include "base/Version.h"
#include "goldformat/FileDigest.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QRegExp>

namespace {

QString quoted(const QString &argument)
{
    static const QRegExp plain("[A-Za-z0-9_./:=@%+,-]+");
    if (QRegExp(plain).exactMatch(argument))
        return argument;
    return QLatin1Char('\'') + QString(argument).replace(QLatin1String("'"), QLatin1String("'\\''"))
        + QLatin1Char('\'');
}

QString profileName(int profile)
{
    switch (profile) {
    case Options::P_GENERAL:
        return QStringLiteral("General Purpose");
    case Options::P_SAFETY_EXT:
        return QStringLiteral("Safety Extended");
    case Options::P_SAFETY_BASE:
        return QStringLiteral("Safety Base");
    default:
        break;
    }
    return QStringLiteral("none");
}

} // namespace

RunDescription RunDescription::current(const QString &title,
                                       const QStringList &classpath,
                                       const QStringList &frameworkClasspath,
                                       const QStringList &references)
{
    QStringList arguments;
    for (const QString &argument : QCoreApplication::arguments())
        arguments << quoted(argument);
    QList<GoldFile> goldFiles;
    QStringList seen = classpath + frameworkClasspath;
    for (const QString &entry : references) {
        if (seen.contains(entry))
            continue;
        seen << entry;
        goldFiles.append({ entry, FileDigest::sha256Of(entry) });
    }
    return { title,
             profileName(Options::opts->profile),
             classpath,
             frameworkClasspath,
             goldFiles,
             QString::fromLatin1(Version::number),
             QDateTime::currentDateTimeUtc().toString(Qt::ISODate),
             arguments.join(QLatin1Char(' ')) };
}

QString RunDescription::classpathText(const QStringList &entries)
{
    return entries.isEmpty() ? QStringLiteral("none") : entries.join(QLatin1Char(':'));
}

QString RunDescription::goldFileText(const GoldFile &file)
{
    return QString("%1  %2").arg(file.sha256.isEmpty() ? "not read" : file.sha256, file.path);
}
