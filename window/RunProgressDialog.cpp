#include "window/RunProgressDialog.h"

#include "base/PrintableText.h"

#include <QLabel>
#include <QMutexLocker>
#include <QProgressBar>
#include <QRegExp>
#include <QTimer>

namespace {
/// A class name can be as long as its file allows; the dialog keeps its width.
constexpr int maxStepCharacters = 100;

const QString startingSuffix = " starting";

QString shortened(const QString &text)
{
    if (text.size() <= maxStepCharacters)
        return text;
    return text.left(maxStepCharacters - 3) + "...";
}
} // namespace

RunProgressDialog::RunProgressDialog(QWidget *parent)
    : QProgressDialog(parent)
    , label(new QLabel)
    , bar(new QProgressBar)
    , refreshTimer(new QTimer(this))
{
    // Names come from class files: never taken for markup.
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    setLabel(label);
    // The dialog's own setValue() would process events in the middle of a refresh and close the
    // dialog when one test reaches its end while the next is still to come; the bar is set
    // directly instead.
    setBar(bar);
    setMinimum(0);
    setMaximum(0);
    setCancelButton(nullptr);
    setWindowModality(Qt::WindowModal);
    // A progress dialog shows itself a few seconds after construction unless it is reset.
    reset();

    refreshTimer->setInterval(refreshMilliseconds);
    connect(refreshTimer, &QTimer::timeout, this, &RunProgressDialog::refresh);
}

RunProgressDialog::~RunProgressDialog()
{
    // The window joins its worker before its children go, so no line is being noted now.
    disconnect(following);
}

void RunProgressDialog::begin()
{
    clear();
    refresh();
    // Direct: the lines are noted on the thread that logs them, as they come.
    following = connect(
        Logger::logger,
        &Logger::log,
        this,
        [this](Logger::Level level, const QString &text) { note(level, text); },
        Qt::DirectConnection);
    refreshTimer->start();
    open();
}

void RunProgressDialog::end()
{
    disconnect(following);
    refreshTimer->stop();
    done(0);
    clear();
    refresh();
}

void RunProgressDialog::clear()
{
    QMutexLocker locker(&lock);
    running.clear();
    phase.clear();
    step.clear();
}

void RunProgressDialog::note(Logger::Level level, const QString &text)
{
    if (level != Logger::L_INFO)
        return;
    if (text.startsWith("Test ")) {
        QMutexLocker locker(&lock);
        step = text;
    } else if (text.startsWith("Running ")) {
        QMutexLocker locker(&lock);
        running = text;
        phase.clear();
        step.clear();
    } else if (text.endsWith(startingSuffix)) {
        QMutexLocker locker(&lock);
        phase = text.chopped(startingSuffix.size());
        step.clear();
    }
}

void RunProgressDialog::refresh()
{
    QString lines[3];
    {
        QMutexLocker locker(&lock);
        lines[0] = running;
        lines[1] = phase;
        lines[2] = step;
    }
    static const QRegExp stepPattern("^Test \\d+% (\\d+)/(\\d+)(?: .*)?$");
    QRegExp match(stepPattern);
    bool reachedOk = false;
    bool totalOk = false;
    int reached = 0;
    int total = 0;
    if (match.exactMatch(lines[2])) {
        reached = match.cap(1).toInt(&reachedOk);
        total = match.cap(2).toInt(&totalOk);
    }
    if (reachedOk && totalOk && total > 0 && reached <= total) {
        bar->setRange(0, total);
        bar->setValue(reached);
    } else {
        bar->setRange(0, 0);
    }
    QStringList shown;
    for (const QString &line : lines) {
        if (!line.isEmpty())
            shown << shortened(PrintableText::escape(line));
    }
    // Through the dialog, which grows to fit the lines: set on the label alone, the third line
    // fell below the dialog's first height and was never seen.
    setLabelText(shown.join('\n'));
}
