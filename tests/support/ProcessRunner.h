#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

/// Runs a program, as often as a test likes, in one fresh temporary working directory, and keeps
/// what each run printed and how it ended. GUI programs run on the offscreen platform.
class ProcessRunner
{
public:
    struct Result
    {
        /// False when the program crashed or had to be killed after hanging.
        bool exitedNormally = false;
        int exitCode = -1;
        QByteArray out;
        QByteArray err;
    };

    explicit ProcessRunner(const QString &program);

    Result run(const QStringList &arguments) const;

    /// Sets a variable of the environment of every later run; an empty value removes it.
    void setEnvironment(const QString &name, const QString &value);

    /// The working directory of every run; removed with the runner.
    QString workDir() const { return dir.path(); }
    /// Path of a file relative to the working directory.
    QString path(const QString &relative) const;
    /// Whole contents of a file relative to the working directory; empty when it does not exist.
    QByteArray readFile(const QString &relative) const;

private:
    QString program;
    QTemporaryDir dir;
    QList<QPair<QString, QString>> environmentChanges;
};
