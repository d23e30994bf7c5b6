#pragma once

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

/// The working directory moved, while this lives, to a scratch directory whose data/ holds every
/// gold file a recipe reads, each empty (a valid gold file without classes): runs there are quick
/// and show only their classpaths and the tree's shape.
class EmptyGoldData
{
public:
    EmptyGoldData()
        : previousDir(QDir::currentPath())
    {
        QDir(dir.path()).mkpath("data");
        for (const char *gold : { "data/j2se8",
                                  "data/j2ee8",
                                  "data/DRAV_common",
                                  "data/FormerlyCORBA",
                                  "data/IOS",
                                  "data/TSS_type_independent",
                                  "data/TSS_type_abstraction",
                                  "tss" })
            QFile(dir.filePath(QString(gold) + ".javagold")).open(QIODevice::WriteOnly);
        QDir::setCurrent(dir.path());
    }
    ~EmptyGoldData() { QDir::setCurrent(previousDir); }
    EmptyGoldData(const EmptyGoldData &) = delete;
    EmptyGoldData &operator=(const EmptyGoldData &) = delete;

    QString path() const { return dir.path(); }
    QString filePath(const QString &name) const { return dir.filePath(name); }

private:
    QTemporaryDir dir;
    QString previousDir;
};
