#pragma once

#include "TestResult.pb.h"
#include "report/RunDescription.h"

#include <QByteArray>
#include <QString>

class Findings;

/// results.html: one self-contained page of a run for a browser, from the file system, with no
/// network and no external script or style. The verdict, the counts and the inputs not read are
/// plain HTML, so the page says them even without its script; the findings (what is missing or
/// denied, with the classes, methods and lines that use it) and the whole result tree are drawn
/// from data in the page (ResultsPageData) a screenful at a time, so that a run of a whole Java
/// runtime loads about as quickly as a small one. The page names the run: the test, the profile
/// and the classes checked at the top, the classpaths, gold files, version, date and command line
/// at the bottom. Every text from the tree is escaped: class files may name anything.
class ResultsPage
{
public:
    static QByteArray
    toHtml(const TestResultGroup &root, const Findings &findings, const RunDescription &run);
};
