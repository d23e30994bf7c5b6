#include "report/ResultsPageData.h"

#include "base/PrintableText.h"
#include "classfile/DependencyOrigins.h"
#include "report/Findings.h"
#include "report/Results.h"

#include <QTextStream>

#include <functional>
#include <vector>

namespace {

// A JSON string for data inside a script element: no "<" may end the element early, and the
// line separators that old parsers refuse are escaped too.
QString json(const QString &text)
{
    QString out;
    out.reserve(text.size() + 2);
    out += QLatin1Char('"');
    for (const QChar c : text) {
        const ushort code = c.unicode();
        if (c == QLatin1Char('"') || c == QLatin1Char('\\')) {
            out += QLatin1Char('\\');
            out += c;
        } else if (code < 0x20 || c == QLatin1Char('<') || code == 0x2028 || code == 0x2029) {
            out += QStringLiteral("\\u%1").arg(code, 4, 16, QLatin1Char('0'));
        } else {
            out += c;
        }
    }
    out += QLatin1Char('"');
    return out;
}

// Texts from class files, readable and made safe for a data block.
QString shown(const QString &text)
{
    return json(PrintableText::escape(text));
}

QString list(const QStringList &items)
{
    return QLatin1Char('[') + items.join(QLatin1Char(',')) + QLatin1Char(']');
}

QString textList(QStringList texts)
{
    for (QString &text : texts)
        text = shown(text);
    return list(texts);
}

// The open findings, then the accepted ones: the page draws each kind in a section of its own.
void forEachFinding(const Findings &findings,
                    const std::function<void(const Findings::Finding &)> &use)
{
    for (const QList<Findings::Finding> *list :
         { &findings.getFindings(), &findings.getAcceptedFindings() }) {
        for (const Findings::Finding &finding : *list)
            use(finding);
    }
}

} // namespace

void ResultsPageData::write(QTextStream &out, const TestResultGroup &root, const Findings &findings)
{
    ResultsPageData data(out);
    out << "<script id=\"page-data\" type=\"application/json\">";
    data.writeFindings(findings);
    out << "</script>\n<script id=\"page-tree\" type=\"application/json\">{\"g\":";
    data.writeTree(root);
    out << ",\"t\":" << textList(data.treeTexts) << '}';
    out << "</script>\n<script id=\"page-origins\" type=\"application/json\">";
    data.writeOrigins(findings);
    out << "</script>\n";
}

void ResultsPageData::writeFindings(const Findings &findings)
{
    QHash<QString, int> classIndexes;
    QStringList classes;
    QStringList all;
    forEachFinding(findings, [&](const Findings::Finding &finding) {
        QStringList indexes;
        for (int i = 0; i < finding.classes.size(); ++i)
            indexes << QString::number(indexOf(classIndexes, classes, finding.classText(i)));
        QString item
            = QStringLiteral("[%1,%2,%3,[%4]")
                  .arg(int(finding.score))
                  .arg(shown(finding.text), shown(finding.cause), indexes.join(QLatin1Char(',')));
        if (!finding.acceptedReason.isEmpty())
            item += QLatin1Char(',') + shown(finding.acceptedReason);
        all << item + QLatin1Char(']');
    });
    out << "{\"c\":" << textList(classes) << ",\"f\":" << list(all) << '}';
}

// Written without recursion: the tree's depth is the input's.
void ResultsPageData::writeTree(const TestResultGroup &root)
{
    struct Open
    {
        const TestResultGroup *group;
        int next; // the subgroup to write next
    };
    std::vector<Open> path { { &root, 0 } };
    writeGroupHead(root);
    while (!path.empty()) {
        Open &open = path.back();
        if (open.next == open.group->subgroup_size()) {
            out << "]]";
            path.pop_back();
            continue;
        }
        const TestResultGroup &group = open.group->subgroup(open.next);
        out << (open.next++ ? "," : "");
        writeGroupHead(group);
        path.push_back({ &group, 0 });
    }
}

// The group up to the list of its subgroups, left open.
void ResultsPageData::writeGroupHead(const TestResultGroup &group)
{
    // A component class says where it was read from, as in the findings.
    out << '['
        << treeText(group.has_entry() ? group.name() + " (" + group.entry() + ")" : group.name())
        << ",[";
    for (int i = 0; i < group.results_size(); ++i) {
        out << (i ? "," : "");
        writeResult(group.results(i));
    }
    out << "],[";
}

void ResultsPageData::writeResult(const TestResult &result)
{
    out << '[' << treeText(result.name()) << ',' << int(result.score()) << ','
        << treeText(result.description()) << ",[";
    for (int i = 0; i < result.logs_size(); ++i) {
        const LogEntry &entry = result.logs(i);
        out << (i ? "," : "") << int(entry.level()) << ',' << treeText(entry.text());
    }
    out << ']';
    if (result.origins_size() > 0) {
        QString places = QString::number(result.more_origins());
        for (const Origin &origin : result.origins()) {
            addPlace(places,
                     { DependencyOrigins::placeOf(fromTree(origin.place())),
                       fromTree(origin.member()),
                       origin.line() });
        }
        out << ',' << treeText(result.cause()) << ',' << resultPlaces.size();
        resultPlaces << QLatin1Char('[') + places + QLatin1Char(']');
    } else if (result.has_cause()) {
        out << ',' << treeText(result.cause());
    }
    out << ']';
}

int ResultsPageData::treeText(const std::string &text)
{
    return indexOf(treeTextIndexes, treeTexts, fromTree(text));
}

void ResultsPageData::writeOrigins(const Findings &findings)
{
    QStringList all;
    forEachFinding(findings, [&](const Findings::Finding &finding) {
        QStringList classes;
        for (const DependencyOrigins &origins : finding.origins)
            classes << placesOf(origins);
        all << list(classes);
    });
    out << "{\"s\":" << textList(texts) << ",\"f\":" << list(all) << ",\"r\":" << list(resultPlaces)
        << '}';
}

QString ResultsPageData::placesOf(const DependencyOrigins &origins)
{
    QString places = QString::number(origins.getMore());
    for (const DependencyOrigins::Origin &origin : origins.getKept())
        addPlace(places, origin);
    return QLatin1Char('[') + places + QLatin1Char(']');
}

// The place in the words the dialog uses: the method in Java form with its line.
void ResultsPageData::addPlace(QString &places, const DependencyOrigins::Origin &origin)
{
    places += QLatin1Char(',')
        + QString::number(indexOf(textIndexes, texts, DependencyOrigins::describe(origin)));
}

int ResultsPageData::indexOf(QHash<QString, int> &indexes, QStringList &list, const QString &text)
{
    const auto found = indexes.constFind(text);
    if (found != indexes.constEnd())
        return found.value();
    indexes.insert(text, list.size());
    list << text;
    return list.size() - 1;
}
