#include "conformance/ResultsPage.h"

#include "app/Options.h"
#include "app/PrintableText.h"
#include "conformance/Findings.h"
#include "conformance/Results.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QRegExp>
#include <QTextStream>

#include <algorithm>
#include <vector>

namespace {

// Control characters shown as escapes, then made inert for HTML.
QString html(const QString &text)
{
    return PrintableText::escape(text).toHtmlEscaped();
}

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

QString treeText(const std::string &text)
{
    return json(PrintableText::escape(fromTree(text)));
}

QString originJson(const QString &place, const QString &member, int line)
{
    return QStringLiteral("[%1,%2,%3]")
        .arg(json(place), json(PrintableText::escape(member)))
        .arg(line);
}

void writeResult(QTextStream &out, const TestResult &result)
{
    out << '[' << treeText(result.name()) << ',' << int(result.score()) << ','
        << treeText(result.description()) << ",[";
    for (int i = 0; i < result.logs_size(); ++i) {
        const LogEntry &entry = result.logs(i);
        out << (i ? ",[" : "[") << (entry.level() == L_ERROR ? "\"ERROR\"," : "\"WARNING\",")
            << treeText(entry.text()) << ']';
    }
    out << "]," << treeText(result.cause()) << ",[";
    for (int i = 0; i < result.origins_size(); ++i) {
        const Origin &origin = result.origins(i);
        out << (i ? "," : "")
            << originJson(fromTree(origin.place()), fromTree(origin.member()), origin.line());
    }
    out << "]," << result.more_origins() << ']';
}

// [name, results, subgroups], written without recursion: the tree's depth is the input's.
void writeTree(QTextStream &out, const TestResultGroup &root)
{
    struct Open
    {
        const TestResultGroup *group;
        int next; // the subgroup to write next
    };
    std::vector<Open> path { { &root, 0 } };
    out << '[' << treeText(root.name()) << ",[";
    for (int i = 0; i < root.results_size(); ++i) {
        out << (i ? "," : "");
        writeResult(out, root.results(i));
    }
    out << "],[";
    while (!path.empty()) {
        Open &open = path.back();
        if (open.next == open.group->subgroup_size()) {
            out << "]]";
            path.pop_back();
            continue;
        }
        const TestResultGroup &group = open.group->subgroup(open.next);
        out << (open.next++ ? ",[" : "[") << treeText(group.name()) << ",[";
        for (int i = 0; i < group.results_size(); ++i) {
            out << (i ? "," : "");
            writeResult(out, group.results(i));
        }
        out << "],[";
        path.push_back({ &group, 0 });
    }
}

void writeFindings(QTextStream &out, const Findings &findings)
{
    out << '[';
    const QList<Findings::Finding> &all = findings.getFindings();
    for (int f = 0; f < all.size(); ++f) {
        const Findings::Finding &finding = all.at(f);
        out << (f ? ",[" : "[");
        for (int i = 0; i < finding.classes.size(); ++i) {
            const DependencyOrigins where = finding.origins.value(i);
            out << (i ? ",[" : "[") << json(PrintableText::escape(finding.classes.at(i))) << ",[";
            for (int o = 0; o < where.getKept().size(); ++o) {
                const DependencyOrigins::Origin &origin = where.getKept().at(o);
                out << (o ? "," : "")
                    << originJson(
                           DependencyOrigins::placeText(origin.place), origin.member, origin.line);
            }
            out << "]," << where.getMore() << ']';
        }
        out << ']';
    }
    out << ']';
}

const char *verdictClass(Findings::Verdict verdict)
{
    switch (verdict) {
    case Findings::V_CONFORMS:
        return "ok";
    case Findings::V_INCOMPLETE:
        return "warn";
    case Findings::V_DOES_NOT_CONFORM:
        break;
    }
    return "fail";
}

const char *style = R"(
body{font:14px/1.4 sans-serif;margin:1em 2em;color:#222}
h1{font-size:1.4em;padding:.4em .6em;border-radius:4px}
h1.ok{background:#e3f4e1}h1.warn{background:#fdf1d6}h1.fail{background:#fbe0dd}
.counts span{margin-right:1.5em;font-weight:bold}
.PASS{color:#2a7a2a}.FAIL{color:#b3261e}.INSPECT{color:#8a6100}
#controls{position:sticky;top:0;background:#fff;padding:.5em 0;border-bottom:1px solid #ddd}
#filter{width:24em;margin-right:1em}
details{margin:.15em 0}summary{cursor:pointer}
.n,.more,.place{color:#666}.cause{margin:.2em 0 .2em 1.5em;color:#444}
ul.classes,ul.results{margin:.2em 0}ul.origins{margin:0;font-family:monospace}
.group{margin-left:1.2em}.score{font-weight:bold;margin-right:.4em}
dt{font-weight:bold}dd{margin:0 0 .6em 1.5em;font-family:monospace;white-space:pre-wrap}
)";

const char *script = R"(
(function () {
  var data = JSON.parse(document.getElementById('page-data').textContent);
  var findings = Array.prototype.slice.call(document.querySelectorAll('details.finding'));
  var filter = document.getElementById('filter');
  var scores = {1: 'PASS', 2: 'FAIL', 3: 'INSPECT'};
  function el(tag, cls, text) {
    var e = document.createElement(tag);
    if (cls) e.className = cls;
    if (text !== undefined) e.textContent = text;
    return e;
  }
  function originText(o) {
    var text = o[0] === 'code' ? o[1] : o[0] + (o[1] ? ' ' + o[1] : '');
    return o[2] ? text + ' line ' + o[2] : text;
  }
  function originList(origins, more) {
    var list = el('ul', 'origins');
    origins.forEach(function (o) { list.appendChild(el('li', null, originText(o))); });
    if (more) list.appendChild(el('li', 'more', 'and ' + more + ' more uses'));
    return list;
  }
  function fillFinding(d) {
    if (d.dataset.filled) return;
    d.dataset.filled = '1';
    var list = el('ul', 'classes');
    data.findings[+d.dataset.i].forEach(function (c) {
      var item = el('li');
      item.appendChild(el('span', 'cls', c[0]));
      if (c[1].length || c[2]) item.appendChild(originList(c[1], c[2]));
      list.appendChild(item);
    });
    d.appendChild(list);
  }
  function groupElement(g, depth) {
    var d = el('details', 'group');
    d.dataset.depth = depth;
    d.groupData = g;
    var summary = el('summary', null, g[0]);
    summary.appendChild(el('span', 'n', ' ' + g[1].length + ' results, ' + g[2].length + ' groups'));
    d.appendChild(summary);
    return d;
  }
  function resultElement(r) {
    var item = el('li');
    item.appendChild(el('span', 'score ' + scores[r[1]], scores[r[1]] || 'UNKNOWN'));
    item.appendChild(document.createTextNode(r[0]));
    var lines = el('ul');
    lines.appendChild(el('li', null, r[2]));
    r[3].forEach(function (l) { lines.appendChild(el('li', l[0] === 'ERROR' ? 'FAIL' : 'INSPECT', l[0] + ': ' + l[1])); });
    if (r[4]) lines.appendChild(el('li', 'cause', 'Cause: ' + r[4]));
    item.appendChild(lines);
    if (r[5].length) item.appendChild(originList(r[5], r[6]));
    return item;
  }
  function fillGroup(d) {
    if (d.dataset.filled) return;
    d.dataset.filled = '1';
    var g = d.groupData, depth = +d.dataset.depth;
    if (g[1].length) {
      var list = el('ul', 'results');
      g[1].forEach(function (r) { list.appendChild(resultElement(r)); });
      d.appendChild(list);
    }
    g[2].forEach(function (s) { d.appendChild(groupElement(s, depth + 1)); });
    applyFilter();
  }
  document.addEventListener('toggle', function (e) {
    var d = e.target;
    if (!d.open) return;
    if (d.classList.contains('finding')) fillFinding(d);
    else if (d.classList.contains('group')) fillGroup(d);
  }, true);
  function haystack(d) {
    if (d.haystack === undefined) {
      var parts = [d.querySelector('summary').textContent];
      data.findings[+d.dataset.i].forEach(function (c) {
        parts.push(c[0]);
        c[1].forEach(function (o) { parts.push(o[1]); });
      });
      d.haystack = parts.join('\n').toLowerCase();
    }
    return d.haystack;
  }
  function applyFilter() {
    var query = filter.value.trim().toLowerCase();
    if (document.getElementById('tree').hidden) {
      var shown = 0;
      findings.forEach(function (d) {
        d.hidden = query !== '' && haystack(d).indexOf(query) < 0;
        if (!d.hidden) shown++;
      });
      document.getElementById('shown').textContent = query ? shown + ' of ' + findings.length + ' shown' : '';
      return;
    }
    // In the tree the filter picks the class groups.
    document.querySelectorAll('#tree details[data-depth="2"]').forEach(function (d) {
      d.hidden = query !== '' && d.groupData[0].toLowerCase().indexOf(query) < 0;
    });
  }
  var timer;
  filter.addEventListener('input', function () {
    clearTimeout(timer);
    timer = setTimeout(applyFilter, 150);
  });
  function showView() {
    var whole = document.getElementById('view-tree').checked;
    document.getElementById('failures').hidden = whole;
    var tree = document.getElementById('tree');
    tree.hidden = !whole;
    if (whole && !tree.firstChild) {
      data.tree[2].forEach(function (g) { tree.appendChild(groupElement(g, 1)); });
    }
    applyFilter();
  }
  document.getElementById('view-failures').addEventListener('change', showView);
  document.getElementById('view-tree').addEventListener('change', showView);
  if (findings.length) {
    findings[0].open = true;
    fillFinding(findings[0]);
  }
})();
)";

class PageWriter
{
public:
    PageWriter(const Findings &findings, const ResultsPage::Run &run)
        : findings(findings)
        , run(run)
    {
    }

    void write(QTextStream &out, const TestResultGroup &root) const
    {
        out << "<!DOCTYPE html>\n<html lang=\"en\"><head><meta charset=\"utf-8\">"
            << "<meta name=\"viewport\" content=\"width=device-width\">"
            << "<title>" << html(run.title) << " results</title><style>" << style
            << "</style></head>\n<body>\n";
        header(out);
        out << "<div id=\"controls\"><input id=\"filter\" type=\"search\" "
               "placeholder=\"Filter by class, method or finding\" aria-label=\"Filter\">"
               "<label><input type=\"radio\" name=\"view\" id=\"view-failures\" checked> failures "
               "only</label> "
               "<label><input type=\"radio\" name=\"view\" id=\"view-tree\"> whole tree</label> "
               "<span id=\"shown\" class=\"n\"></span></div>\n";
        out << "<main id=\"failures\">\n";
        section(out, R_FAIL, "Findings", "what is missing or denied, most classes first");
        section(out, R_INSPECT, "To inspect", "what a person has to look at");
        out << "</main>\n<main id=\"tree\" hidden></main>\n";
        footer(out);
        out << "<script id=\"page-data\" type=\"application/json\">{\"findings\":";
        writeFindings(out, findings);
        out << ",\"tree\":";
        writeTree(out, root);
        out << "}</script>\n<script>" << script << "</script>\n</body></html>\n";
    }

private:
    void header(QTextStream &out) const
    {
        out << "<header>\n<p>" << html(run.title) << "</p>\n<h1 id=\"verdict\" class=\""
            << verdictClass(findings.getVerdict()) << "\">" << html(findings.getVerdictLine())
            << "</h1>\n"
            << "<p id=\"counts\" class=\"counts\">";
        for (const TestScore score : { R_PASS, R_FAIL, R_INSPECT }) {
            const char *word = score == R_PASS ? "PASS" : score == R_FAIL ? "FAIL" : "INSPECT";
            out << "<span class=\"" << word << "\">" << findings.count(score) << ' ' << word
                << "</span>";
        }
        out << "</p>\n";
        if (!findings.getUnreadInputs().isEmpty()) {
            out << "<section id=\"unread\"><h2>Inputs not read</h2><ul>\n";
            for (const QStringList &lines : findings.getUnreadInputs())
                out << "<li>" << html(lines.join(QLatin1String(" - "))) << "</li>\n";
            out << "</ul></section>\n";
        }
        out << "</header>\n";
    }

    void section(QTextStream &out, TestScore score, const char *title, const char *what) const
    {
        const QList<Findings::Finding> &all = findings.getFindings();
        const int count
            = int(std::count_if(all.cbegin(), all.cend(), [score](const Findings::Finding &f) {
                  return f.score == score;
              }));
        if (count == 0)
            return;
        out << "<section><h2>" << title << " (" << count << ")</h2><p class=\"n\">" << what
            << "</p>\n";
        for (int i = 0; i < all.size(); ++i) {
            const Findings::Finding &finding = all.at(i);
            if (finding.score != score)
                continue;
            out << "<details class=\"finding\" data-i=\"" << i << "\"><summary>"
                << html(finding.text) << " <span class=\"n\">"
                << html(countOf(finding.classes.size(), "class", "classes")) << "</span></summary>";
            if (!finding.cause.isEmpty())
                out << "<p class=\"cause\">" << html(finding.cause) << "</p>";
            out << "</details>\n";
        }
        out << "</section>\n";
    }

    void footer(QTextStream &out) const
    {
        out << "<footer id=\"run\"><h2>Run</h2><dl>\n<dt>Command line</dt><dd>"
            << html(run.commandLine) << "</dd>\n<dt>Profile</dt><dd>" << html(run.profile)
            << "</dd>\n<dt>Data files</dt><dd>" << html(run.dataFiles.join(QLatin1Char('\n')))
            << "</dd>\n<dt>Time</dt><dd>" << html(run.time) << "</dd>\n</dl></footer>\n";
    }

    const Findings &findings;
    const ResultsPage::Run &run;
};

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

QByteArray
ResultsPage::toHtml(const TestResultGroup &root, const Findings &findings, const Run &run)
{
    QByteArray page;
    QTextStream out(&page);
    out.setCodec("UTF-8");
    PageWriter(findings, run).write(out, root);
    out.flush();
    return page;
}

ResultsPage::Run ResultsPage::currentRun(const QString &title, const QStringList &classpathEntries)
{
    QStringList arguments;
    for (const QString &argument : QCoreApplication::arguments())
        arguments << quoted(argument);
    QStringList dataFiles;
    for (const QString &entry : classpathEntries) {
        if (entry.endsWith(QLatin1String(".javagold")) && !dataFiles.contains(entry))
            dataFiles << entry;
    }
    return Run { title,
                 arguments.join(QLatin1Char(' ')),
                 profileName(Options::opts->profile),
                 dataFiles,
                 QDateTime::currentDateTimeUtc().toString(Qt::ISODate) };
}
