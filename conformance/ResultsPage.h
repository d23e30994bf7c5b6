#pragma once

#include "TestResult.pb.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

class Findings;

/// results.html: one self-contained page of a run for a browser, from the file system, with no
/// network and no external script or style. The verdict, the counts and the inputs not read are
/// plain HTML, so the page says them even without its script; the findings (what is missing or
/// denied, with the classes, methods and lines that use it) and the whole result tree are drawn
/// from data in the page (ResultsPageData) a screenful at a time, so that a run of a whole Java
/// runtime loads about as quickly as a small one. Every text from the tree is escaped: class
/// files may name anything.
class ResultsPage
{
public:
    /// What the page says about the run itself.
    struct Run
    {
        QString title; // "PSS test"
        QString commandLine; // as typed, each argument quoted where it needs to be
        QString profile; // "General Purpose"
        QStringList dataFiles;
        QString time; // ISO 8601, UTC
    };

    static QByteArray toHtml(const TestResultGroup &root, const Findings &findings, const Run &run);

    /// The run as the program was started: its arguments, its profile, the gold files of the
    /// classpaths and now.
    static Run currentRun(const QString &title, const QStringList &classpathEntries);
};
