#pragma once

#include "TestResult.pb.h"
#include "classfile/DependencyOrigins.h"

#include <QHash>
#include <QString>
#include <QStringList>

class Findings;
class QTextStream;

/// The data results.html draws from, as three JSON blocks of the page, each parsed only when
/// first needed so that a run of a whole Java runtime loads quickly:
/// - "page-data", parsed on load: the class names "c" and the findings "f", each
///   [score, text, cause, [class index, ...]];
/// - "page-tree", parsed when the whole tree is shown: its texts "t", each once (a run repeats
///   most of them thousands of times), and the root "g", a group [name, [result, ...],
///   [group, ...]], a result [name, score, description, [level, text, ...], cause, origins
///   index], with every text an index into "t";
/// - "page-origins", parsed when a finding or result is opened or the findings are filtered:
///   the texts "s", and the places of each class of each finding "f" and of each result "r", a
///   flat [further uses, place, place, ...] with each place ("get(int), line 12", "field type
///   of count") an index into "s".
/// Every text is escaped for reading and no "<" stays in a block, so no name from a class file
/// can end a block or become markup.
class ResultsPageData
{
public:
    static void write(QTextStream &out, const TestResultGroup &root, const Findings &findings);

private:
    explicit ResultsPageData(QTextStream &out)
        : out(out)
    {
    }

    void writeFindings(const Findings &findings);
    void writeTree(const TestResultGroup &root);
    void writeGroupHead(const TestResultGroup &group);
    void writeResult(const TestResult &result);
    void writeOrigins(const Findings &findings);
    int treeText(const std::string &text);
    QString placesOf(const DependencyOrigins &origins);
    void addPlace(QString &places, const DependencyOrigins::Origin &origin);
    int indexOf(QHash<QString, int> &indexes, QStringList &texts, const QString &text);

    QTextStream &out;
    QHash<QString, int> textIndexes;
    QStringList texts; // "s": places, each once
    QStringList resultPlaces; // "r": of each result with origins, in tree order
    QHash<QString, int> treeTextIndexes;
    QStringList treeTexts; // "t" of the tree: every text of it, each once
};
