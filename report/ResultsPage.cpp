#include "report/ResultsPage.h"

#include "base/PrintableText.h"
#include "report/Findings.h"
#include "report/ResultsPageData.h"

#include <QPair>
#include <QStringList>
#include <QTextStream>

#include <algorithm>

namespace {

// Control characters shown as escapes, then made inert for HTML.
QString html(const QString &text)
{
    return PrintableText::escape(text).toHtmlEscaped();
}

// One text a line: each escaped on its own, so that the breaks between them stay breaks.
QString lines(const QStringList &texts)
{
    QStringList shown;
    for (const QString &text : texts)
        shown << html(text);
    return shown.join(QLatin1Char('\n'));
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
.PASS{color:#2a7a2a}.FAIL{color:#b3261e}.INSPECT{color:#8a6100}.ACCEPTED{color:#555}
.accepted{margin:.2em 0 .2em 1.5em;color:#2a7a2a}
#controls{position:sticky;top:0;background:#fff;padding:.5em 0;border-bottom:1px solid #ddd}
#filter{width:24em;margin-right:1em}
details{margin:.15em 0}summary{cursor:pointer}
.n,.more,.place{color:#666}.cause{margin:.2em 0 .2em 1.5em;color:#444}
ul.classes{margin:.2em 0}.result{margin:.2em 0 .2em 1.2em}.result ul{margin:0}
button.more{display:block;margin:.3em 0 .3em 1.2em}ul.origins{margin:0;font-family:monospace}
[hidden]{display:none!important}
.group{margin-left:1.2em}.score{font-weight:bold;margin-right:.4em}
dt{font-weight:bold}dd{margin:0 0 .6em 1.5em;font-family:monospace;white-space:pre-wrap}
)";

const char *script = R"(
(function () {
  'use strict';
  var STEP = 50;
  // The data blocks are taken out of the document as text, each parsed when first needed: the
  // browser holds the data once, and whatever reads the document back (saving it, --dump-dom)
  // does not go through megabytes of it.
  var blocks = {};
  ['page-data', 'page-tree', 'page-origins'].forEach(function (id) {
    var block = document.getElementById(id);
    blocks[id] = block.textContent;
    block.remove();
  });
  function parse(id) {
    var parsed = JSON.parse(blocks[id]);
    blocks[id] = null;
    return parsed;
  }
  var data = parse('page-data'), origins = null, tree = null;
  function places() { return origins || (origins = parse('page-origins')); }
  function treeData() { return tree || (tree = parse('page-tree')); }
  function text(i) { return treeData().t[i]; }
  var scores = {1: 'PASS', 2: 'FAIL', 3: 'INSPECT'};
  var filter = document.getElementById('filter');
  // [score, text, cause, [classes], reason]: a finding with a reason was accepted.
  var sections = [{score: 2, box: document.getElementById('fail-list')},
                  {score: 3, box: document.getElementById('inspect-list')},
                  {accepted: true, box: document.getElementById('accepted-list')}];
  function isIn(section, f) {
    return (f[4] !== undefined) === !!section.accepted && (section.accepted || f[0] === section.score);
  }
  var treeBox = document.getElementById('tree');
  function el(tag, cls, text) {
    var e = document.createElement(tag);
    if (cls) e.className = cls;
    if (text !== undefined) e.textContent = text;
    return e;
  }
  function count(n, one, many) { return n + ' ' + (n === 1 ? one : many); }
  // [further uses, place, ...], places as indexes.
  function placeList(flat) {
    var s = places().s, list = el('ul', 'origins');
    for (var i = 1; i < flat.length; i++) list.appendChild(el('li', null, s[flat[i]]));
    if (flat[0]) list.appendChild(el('li', 'more', 'and ' + flat[0] + ' more uses'));
    return list;
  }
  // Lists are drawn a step at a time: the first on load, the next on the button or when the
  // button scrolls near the screen.
  var nearEnd = window.IntersectionObserver ? new IntersectionObserver(function (entries) {
    entries.forEach(function (e) { if (e.isIntersecting) e.target.click(); });
  }, {rootMargin: '400px'}) : null;
  function paged(box, items, draw, moreText) {
    var drawn = 0, button = el('button', 'more');
    button.type = 'button';
    function next() {
      var end = Math.min(items.length, drawn + STEP), part = document.createDocumentFragment();
      for (; drawn < end; drawn++) part.appendChild(draw(items[drawn]));
      box.insertBefore(part, button);
      button.hidden = drawn === items.length;
      button.textContent = button.hidden ? '' : moreText(items.length - drawn);
    }
    box.appendChild(button);
    button.addEventListener('click', next);
    if (nearEnd) nearEnd.observe(button);
    next();
  }
  function clear(box) {
    if (nearEnd) box.querySelectorAll('button.more').forEach(function (b) { nearEnd.unobserve(b); });
    box.textContent = '';
  }
  function showMore(n) { return 'Show ' + Math.min(n, STEP) + ' more of ' + n; }
  function moreMatch(n) { return n + ' more match: show ' + Math.min(n, STEP) + ' more'; }

  function findingElement(i) {
    var f = data.f[i], d = el('details', 'finding');
    d.dataset.i = i;
    var summary = el('summary', null, f[1] + ' ');
    summary.appendChild(el('span', 'n', count(f[3].length, 'class', 'classes')));
    d.appendChild(summary);
    if (f[2]) d.appendChild(el('p', 'cause', f[2]));
    if (f[4] !== undefined) d.appendChild(el('p', 'accepted', 'Accepted: ' + f[4]));
    return d;
  }
  function fillFinding(d) {
    if (d.dataset.filled) return;
    d.dataset.filled = '1';
    var i = +d.dataset.i, where = places().f[i] || [], list = el('ul', 'classes');
    d.appendChild(list);
    paged(list, data.f[i][3].map(function (c, k) { return [c, where[k]]; }), function (c) {
      var item = el('li');
      item.appendChild(el('span', 'cls', data.c[c[0]]));
      if (c[1] && (c[1][0] || c[1].length > 1)) item.appendChild(placeList(c[1]));
      return item;
    }, showMore);
  }
  var hay = [];
  function haystack(i) {
    if (hay[i] === undefined) {
      var f = data.f[i], where = places().f[i] || [], s = places().s, parts = [f[1], f[2], f[4]];
      f[3].forEach(function (c, k) {
        parts.push(data.c[c]);
        var flat = where[k] || [];
        for (var j = 1; j < flat.length; j++) parts.push(s[flat[j]]);
      });
      hay[i] = parts.join('\n').toLowerCase();
    }
    return hay[i];
  }
  function drawFindings(query) {
    var total = 0, matched = 0;
    sections.forEach(function (section) {
      if (!section.box) return;
      var items = [];
      data.f.forEach(function (f, i) {
        if (!isIn(section, f)) return;
        total++;
        if (!query || haystack(i).indexOf(query) >= 0) items.push(i);
      });
      matched += items.length;
      clear(section.box);
      paged(section.box, items, findingElement, query ? moreMatch : showMore);
    });
    document.getElementById('shown').textContent = query ? matched + ' of ' + total + ' shown' : '';
  }

  function groupElement(g) {
    var d = el('details', 'group');
    d.groupData = g;
    var summary = el('summary', null, text(g[0]));
    summary.appendChild(el('span', 'n', ' ' + count(g[1].length, 'result', 'results') + ', ' +
                                        count(g[2].length, 'group', 'groups')));
    d.appendChild(summary);
    return d;
  }
  // [name, score, description, [level, text, ...], cause, places], texts as indexes.
  function resultElement(r) {
    var item = el('div', 'result'), score = scores[r[1]] || 'UNKNOWN';
    item.appendChild(el('span', 'score ' + score, score));
    item.appendChild(document.createTextNode(text(r[0])));
    var lines = el('ul');
    lines.appendChild(el('li', null, text(r[2])));
    for (var i = 0; i + 1 < r[3].length; i += 2) {
      var level = r[3][i] === 2 ? 'ERROR' : 'WARNING';
      lines.appendChild(el('li', level === 'ERROR' ? 'FAIL' : 'INSPECT', level + ': ' + text(r[3][i + 1])));
    }
    if (r[4] !== undefined && text(r[4])) lines.appendChild(el('li', 'cause', 'Cause: ' + text(r[4])));
    item.appendChild(lines);
    if (r[5] !== undefined) item.appendChild(placeList(places().r[r[5]]));
    return item;
  }
  function fillGroup(d) {
    if (d.dataset.filled) return;
    d.dataset.filled = '1';
    var g = d.groupData;
    if (g[1].length) paged(d.appendChild(el('div', 'results')), g[1], resultElement, showMore);
    if (g[2].length) paged(d.appendChild(el('div', 'groups')), g[2], groupElement, showMore);
  }
  // A group whose name matches is drawn closed and whole; any other only with the results and
  // groups under it that match, opened. At most STEP matches are drawn, the rest counted.
  function pruned(g, hit, budget) {
    function take() {
      if (budget.left > 0) { budget.left--; return true; }
      budget.more++;
      return false;
    }
    if (hit[g[0]]) return take() ? groupElement(g) : null;
    var d = null;
    function add(child) {
      if (!d) {
        d = groupElement(g);
        d.dataset.filled = '1';
        d.open = true;
      }
      d.appendChild(child);
    }
    g[1].forEach(function (r) {
      if (hit[r[0]] && take()) add(resultElement(r));
    });
    g[2].forEach(function (s) {
      var child = pruned(s, hit, budget);
      if (child) add(child);
    });
    return d;
  }
  function drawTree(query) {
    clear(treeBox);
    var top = treeData().g[2], shown = document.getElementById('shown');
    shown.textContent = '';
    if (!query) return paged(treeBox, top, groupElement, showMore);
    var budget = {left: STEP, more: 0};
    var hit = treeData().t.map(function (t) { return t.toLowerCase().indexOf(query) >= 0; });
    top.forEach(function (g) {
      var d = pruned(g, hit, budget);
      if (d) treeBox.appendChild(d);
    });
    if (budget.more) shown.textContent = budget.more + ' more match';
    else if (!treeBox.firstChild) shown.textContent = 'nothing matches';
  }

  document.addEventListener('toggle', function (e) {
    var d = e.target;
    if (!d.open) return;
    if (d.classList.contains('finding')) fillFinding(d);
    else if (d.classList.contains('group')) fillGroup(d);
  }, true);
  var whole = document.getElementById('view-tree');
  // The state lives in the address too (#filter=...&view=tree), so that a page opens as it was.
  function draw() {
    var query = filter.value.trim().toLowerCase();
    document.getElementById('failures').hidden = whole.checked;
    treeBox.hidden = !whole.checked;
    if (whole.checked) drawTree(query);
    else drawFindings(query);
    var state = new URLSearchParams();
    if (filter.value) state.set('filter', filter.value);
    if (whole.checked) state.set('view', 'tree');
    try {
      history.replaceState(null, '', '#' + state.toString());
    } catch (e) {
      // Some browsers keep the address of a file fixed; the page works the same.
    }
  }
  var timer;
  filter.addEventListener('input', function () {
    clearTimeout(timer);
    timer = setTimeout(draw, 150);
  });
  whole.addEventListener('change', draw);
  document.getElementById('view-failures').addEventListener('change', draw);
  var state = new URLSearchParams(location.hash.slice(1));
  filter.value = state.get('filter') || '';
  whole.checked = state.get('view') === 'tree';
  draw();
  var first = document.querySelector('#failures details.finding');
  if (first && !whole.checked) {
    first.open = true;
    fillFinding(first);
  }
})();
)";

class PageWriter
{
public:
    PageWriter(const Findings &findings, const RunDescription &run)
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
        if (!findings.getFindings().isEmpty())
            out << "<h2 id=\"findings\">Findings (" << findings.getFindings().size() << ")</h2>\n";
        section(out, R_FAIL, "fail-list", "Failed");
        section(out, R_INSPECT, "inspect-list", "To inspect");
        acceptedSection(out);
        out << "<noscript><p>The findings and the whole tree are drawn by the page's script; "
               "results.txt holds them all.</p></noscript>\n</main>\n<main id=\"tree\" "
               "hidden></main>\n";
        footer(out);
        ResultsPageData::write(out, root, findings);
        out << "<script>" << script << "</script>\n</body></html>\n";
    }

private:
    void header(QTextStream &out) const
    {
        out << "<header>\n<p id=\"tested\">" << html(run.title) << ", " << html(run.profile)
            << " profile; classes checked: " << html(findings.getClassesCheckedText())
            << "</p>\n<h1 id=\"verdict\" class=\"" << verdictClass(findings.getVerdict()) << "\">"
            << html(findings.getVerdictLine()) << "</h1>\n"
            << "<p id=\"counts\" class=\"counts\">";
        for (const TestScore score : { R_PASS, R_FAIL, R_INSPECT }) {
            const char *word = score == R_PASS ? "PASS" : score == R_FAIL ? "FAIL" : "INSPECT";
            out << "<span class=\"" << word << "\">" << findings.count(score) << ' ' << word
                << "</span>";
        }
        // A count of results, which a reader must not take for a count of classes.
        if (!findings.getPassKinds().isEmpty())
            out << "<span class=\"n\">PASS: " << html(findings.getPassKinds()) << "</span>";
        if (findings.getAcceptedCount() > 0)
            out << "<span class=\"ACCEPTED\">" << findings.getAcceptedCount() << " accepted</span>";
        out << "</p>\n";
        if (!findings.getUnusedAccepted().isEmpty()) {
            out << "<section id=\"unused\"><h2>Accepted findings that match nothing</h2><ul>\n";
            for (const QString &entry : findings.getUnusedAccepted())
                out << "<li>" << html(entry) << "</li>\n";
            out << "</ul></section>\n";
        }
        if (!findings.getUnreadInputs().isEmpty()) {
            out << "<section id=\"unread\"><h2>Inputs not read</h2><ul>\n";
            for (const QStringList &lines : findings.getUnreadInputs())
                out << "<li>" << html(lines.join(QLatin1String(" - "))) << "</li>\n";
            out << "</ul></section>\n";
        }
        if (!findings.getUnchecked().isEmpty()) {
            out << "<section id=\"unchecked\"><h2>Not checked</h2><ul>\n";
            for (const QString &line : findings.getUnchecked())
                out << "<li>" << html(line) << "</li>\n";
            out << "</ul></section>\n";
        }
        out << "</header>\n";
    }

    // The heading only: the findings are drawn from the page's data, a screenful at a time. Each
    // count is that of the list under it.
    void section(QTextStream &out, TestScore score, const char *id, const char *title) const
    {
        const QList<Findings::Finding> &all = findings.getFindings();
        const int count
            = int(std::count_if(all.cbegin(), all.cend(), [score](const Findings::Finding &f) {
                  return f.score == score;
              }));
        if (count == 0)
            return;
        out << "<section><h3>" << title << " (" << count << ")</h3><p class=\"n\">"
            << (score == R_FAIL ? "what is missing or denied, most classes first"
                                : "what a person has to look at")
            << "</p>\n<div id=\"" << id << "\"></div></section>\n";
    }

    void acceptedSection(QTextStream &out) const
    {
        const int count = findings.getAcceptedFindings().size();
        if (count == 0)
            return;
        out << "<section><h2>Accepted (" << count << ")</h2><p class=\"n\">"
            << "findings the integrator accepted, each with the reason given</p>\n"
            << "<div id=\"accepted-list\"></div></section>\n";
    }

    void footer(QTextStream &out) const
    {
        QStringList goldFiles;
        for (const RunDescription::GoldFile &file : run.goldFiles)
            goldFiles << RunDescription::goldFileText(file);
        out << "<footer id=\"run\"><h2>Run</h2><dl>\n";
        const QPair<const char *, QString> terms[] = {
            { "Test", html(run.title) },
            { "Profile", html(run.profile) },
            { "Component classpath", html(RunDescription::classpathText(run.classpath)) },
            { "Framework classpath", html(RunDescription::classpathText(run.frameworkClasspath)) },
            { "Classes checked", html(findings.getClassesCheckedText()) },
            { "Gold files, SHA-256", lines(goldFiles) },
            { "Tester version", html(run.version) },
            { "Date", html(run.date) },
            { "Command line", html(run.commandLine) },
        };
        for (const auto &term : terms)
            out << "<dt>" << term.first << "</dt><dd>" << term.second << "</dd>\n";
        out << "</dl></footer>\n";
    }

    const Findings &findings;
    const RunDescription &run;
};

} // namespace

QByteArray ResultsPage::toHtml(const TestResultGroup &root,
                               const Findings &findings,
                               const RunDescription &run)
{
    QByteArray page;
    QTextStream out(&page);
    out.setCodec("UTF-8");
    PageWriter(findings, run).write(out, root);
    out.flush();
    return page;
}
