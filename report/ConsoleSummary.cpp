#include "report/ConsoleSummary.h"

#include "base/Logger.h"
#include "base/PrintableText.h"
#include "report/Findings.h"
#include "report/Results.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QSet>
#include <QThread>

#include <cstdio>

namespace {

QString affected(const Findings::Finding &finding)
{
    const int n = finding.classes.size();
    if (finding.section == "Access Results" && finding.classFileVersion)
        return QString(", in %1").arg(countOf(n, "class", "classes"));
    if (finding.section == "Access Results")
        return QString(", used by %1").arg(countOf(n, "class", "classes"));
    return n > 1 ? QString(", in %1").arg(countOf(n, "class", "classes")) : QString();
}

} // namespace

ConsoleSummary::ConsoleSummary(const RunDescription &run,
                               const Findings &findings,
                               const QString &frameworkHint,
                               const QList<RunOutputs::File> &files,
                               const QString &dataDir)
{
    lines << QString("Summary of the %1:").arg(run.title);
    addRun(run);
    lines << "  Classes checked: " + findings.getClassesCheckedText()
          << "  Results: " + findings.getCountsText() << "  Verdict: " + findings.getVerdictLine();
    addInputs(findings);
    addUnchecked(findings);
    addFindings(findings);
    addAccepted(findings);
    if (!frameworkHint.isEmpty())
        lines << "  " + frameworkHint;
    addFiles(files, dataDir);
    // Names come from class files and jar entries: none may end a line early or forge one.
    for (QString &line : lines)
        line = PrintableText::escape(line);
}

// What was tested against what, so that a summary kept on its own still says it.
void ConsoleSummary::addRun(const RunDescription &run)
{
    lines << "  Profile: " + run.profile
          << "  Component classpath: " + RunDescription::classpathText(run.classpath)
          << "  Framework classpath: " + RunDescription::classpathText(run.frameworkClasspath)
          << "  Gold files, SHA-256:";
    for (const RunDescription::GoldFile &file : run.goldFiles)
        lines << "    " + RunDescription::goldFileText(file);
    lines << QString("  Tester: %1, run %2").arg(run.version, run.date);
}

void ConsoleSummary::addInputs(const Findings &findings)
{
    const QList<QStringList> &inputs = findings.getUnreadInputs();
    if (inputs.isEmpty())
        return;
    lines << "  Not read:";
    // Further reasons are often shared (where the reference data is looked for): said once.
    QSet<QString> said;
    for (int i = 0; i < inputs.size() && i < maxInputLines; ++i) {
        lines << "    " + inputs.at(i).first();
        for (const QString &reason : inputs.at(i).mid(1)) {
            if (!said.contains(reason))
                lines << "      " + reason;
            said.insert(reason);
        }
    }
    if (inputs.size() > maxInputLines)
        lines << QString("    and %1 more in results.txt").arg(inputs.size() - maxInputLines);
}

void ConsoleSummary::addUnchecked(const Findings &findings)
{
    if (findings.getUnchecked().isEmpty())
        return;
    lines << "  Not checked:";
    for (const QString &line : findings.getUnchecked())
        lines << "    " + line;
}

void ConsoleSummary::addFindings(const Findings &findings)
{
    const QList<Findings::Finding> &all = findings.getFindings();
    if (all.isEmpty())
        return;
    lines << "  Findings, most classes first:";
    int used = 0;
    int shown = 0;
    for (const Findings::Finding &finding : all) {
        const int needed = finding.cause.isEmpty() ? 1 : 2;
        if (used + needed > maxFindingLines)
            break;
        lines << "    " + finding.text + affected(finding);
        if (!finding.cause.isEmpty())
            lines << "      " + finding.cause;
        used += needed;
        ++shown;
    }
    if (shown < all.size())
        lines << QString("    and %1 more in results.txt").arg(all.size() - shown);
}

void ConsoleSummary::addAccepted(const Findings &findings)
{
    const QList<Findings::Finding> &accepted = findings.getAcceptedFindings();
    if (!accepted.isEmpty())
        lines << "  Accepted, for the reasons given:";
    for (int i = 0; i < accepted.size() && i < maxAcceptedFindings; ++i) {
        lines << "    " + accepted.at(i).text + affected(accepted.at(i))
              << "      " + accepted.at(i).acceptedReason;
    }
    if (accepted.size() > maxAcceptedFindings)
        lines << QString("    and %1 more in results.html")
                     .arg(accepted.size() - maxAcceptedFindings);
    // Listed whole: each is a line to delete from the file.
    const QStringList &unused = findings.getUnusedAccepted();
    if (!unused.isEmpty())
        lines << "  Accepted findings that match nothing, to be removed:";
    for (const QString &entry : unused)
        lines << "    " + entry;
}

void ConsoleSummary::addFiles(const QList<RunOutputs::File> &files, const QString &dataDir)
{
    for (const RunOutputs::File &file : files) {
        QString where = file.path;
        if (!file.written) {
            where = file.earlierRunsFile
                ? QString("not written: %1 is an earlier run's").arg(file.path)
                : QString("not written");
        }
        lines << QString("  %1 %2").arg(file.label + ':', -13).arg(where);
    }
    // The same component can conform against one installation's data and not another's.
    lines << "  Reference data: " + QFileInfo(dataDir).absoluteFilePath();
}

void ConsoleSummary::print() const
{
    const QByteArray text = (lines.join('\n') + '\n').toLocal8Bit();
    // The log lines the run has handed over are written first, so the summary comes last.
    const auto write = [text] {
        Logger::logger->flush();
        std::fwrite(text.constData(), 1, size_t(text.size()), stdout);
        std::fflush(stdout);
    };
    // The logger writes on the application's thread; so does this.
    QCoreApplication *app = QCoreApplication::instance();
    if (app && QThread::currentThread() != app->thread())
        QMetaObject::invokeMethod(app, write, Qt::QueuedConnection);
    else
        write();
}
