#include "report/ResultsPage.h"

#include "base/PrintableText.h"
#include "report/Findings.h"
#include "report/ResultsPageData.h"

#include <QFile>
#include <QPair>
#include <QStringList>
#include <QTextStream>

#include <algorithm>

// A static library's resources are registered only when its code asks for them: the linker drops
// the object that would have done it at start-up, since nothing refers to it.
static void registerPageResources()
{
    Q_INIT_RESOURCE(ResultsPage);
}

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

// Read at run time from the program's resources, so that the page's code is kept and checked as
// the files it is rather than as strings in C++.
QString compiledInText(const QString &path)
{
    QFile file(path);
    // Built into the program: a missing one is a broken build, never a user's mistake.
    if (!file.open(QIODevice::ReadOnly))
        qFatal("The results page's %s is missing from the program", qPrintable(path));
    return QString::fromUtf8(file.readAll());
}

struct PageCode
{
    QString style;
    QString script;
};

const PageCode &pageCode()
{
    static const PageCode code = [] {
        registerPageResources();
        return PageCode { compiledInText(":/report/page/results.css"),
                          compiledInText(":/report/page/results.js") };
    }();
    return code;
}

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
            << "<title>" << html(run.title) << " results</title><style>\n"
            << pageCode().style << "</style></head>\n<body>\n";
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
        out << "<script>\n" << pageCode().script << "</script>\n</body></html>\n";
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
