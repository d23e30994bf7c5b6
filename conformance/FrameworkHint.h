#pragma once

#include "base/Classpath.h"

#include <QMap>
#include <QSet>
#include <QString>
#include <QStringList>

/// Tells whether the classes an access test found nowhere point at a framework classpath that
/// was left out: many of them lie in packages that no entry of the access classpath holds a
/// single class of. A class missing from a package the APIs do hold is a finding of its own;
/// a whole package missing is usually a jar the component needs and the run was not given. A
/// package of an API the profile leaves out (J2EE 8 outside General Purpose) is never suggested:
/// the hint says that the profile excludes it.
class FrameworkHint
{
public:
    /// So many missing classes in packages nobody holds make the hint.
    static constexpr int minimumClasses = 5;

    /// An API the profile leaves out: its gold files, and the profile's name for the hint.
    struct LeftOut
    {
        Classpath gold;
        QString profile; // "Safety Base"
    };

    /// missingClasses in dotted form; the entries in skip were not read and are not listed again.
    FrameworkHint(const QStringList &missingClasses,
                  const Classpath &accessClasspath,
                  const QSet<QString> &skip,
                  const LeftOut &leftOut = {});

    bool applies() const { return orphans.count >= minimumClasses || excluded.count > 0; }
    /// The hint in one line, naming the packages with the most missing classes first.
    QString getText() const;

private:
    /// Missing classes by package.
    struct Packages
    {
        QMap<QString, int> classes; // package -> its missing classes
        int count = 0;

        void add(const QString &package);
        /// The packages with the most missing classes first, the first few of them.
        QString named() const;
    };

    void addPackagesOf(const QString &entry, QSet<QString> &packages);
    static void addClassName(const QString &descriptorText, QSet<QString> &packages);
    static void addJar(const QString &path, QSet<QString> &packages);

    QString profile;
    Packages orphans; // in packages no entry holds
    Packages excluded; // in packages of the API the profile leaves out
};
