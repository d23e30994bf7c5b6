#pragma once

#include <QList>
#include <QString>
#include <QStringList>

/// What a test run was, as each of its outputs names it (the summary, results.xml, results.html):
/// the test and the profile, the component's and the framework's classpaths, each gold file with
/// its SHA-256, the tester's version, the date and the command line. A reader of any one output
/// can tell what was tested against what, and whether two runs tested the same.
struct RunDescription
{
    struct GoldFile
    {
        QString path; // as the classpath names it
        QString sha256; // in hexadecimal; empty when the file could not be read
    };

    QString title; // "PSS test"
    QString profile; // "General Purpose"
    QStringList classpath;
    QStringList frameworkClasspath;
    QList<GoldFile> goldFiles; // in search order, each once
    QString version;
    QString date; // ISO 8601, UTC
    QString commandLine; // as typed, each argument quoted where it needs to be

    /// The run going on: its profile, arguments, the tester's version and now. The gold files are
    /// the entries of references that are neither component nor framework entries.
    static RunDescription current(const QString &title,
                                  const QStringList &classpath,
                                  const QStringList &frameworkClasspath,
                                  const QStringList &references);

    /// A classpath as one line: its entries joined by ":", or "none".
    static QString classpathText(const QStringList &entries);
    /// "a1b2...  data/j2se8.javagold", as sha256sum prints it; "not read" for the hash of a file
    /// that could not be read.
    static QString goldFileText(const GoldFile &file);
};
