#pragma once

#include "loader/Classpath.h"

#include <QMap>
#include <QSet>
#include <QString>
#include <QStringList>

/// Tells whether the classes an access test found nowhere point at a framework classpath that
/// was left out: many of them lie in packages that no entry of the access classpath holds a
/// single class of. A class missing from a package the APIs do hold is a finding of its own;
/// a whole package missing is usually a jar the component needs and the run was not given.
class FrameworkHint
{
public:
    /// So many missing classes in packages nobody holds make the hint.
    static constexpr int minimumClasses = 5;

    /// missingClasses in dotted form; the entries in skip were not read and are not listed again.
    FrameworkHint(const QStringList &missingClasses,
                  const Classpath &accessClasspath,
                  const QSet<QString> &skip);

    bool applies() const { return classCount >= minimumClasses; }
    /// The hint in one line, naming the packages with the most missing classes first.
    QString getText() const;

private:
    void addPackagesOf(const QString &entry);
    void addClassName(const QString &descriptorText);
    void addJar(const QString &path);

    QSet<QString> heldPackages;
    QMap<QString, int> orphans; // package no entry holds -> its missing classes
    int classCount = 0;
};
