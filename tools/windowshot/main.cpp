// windowshot: runs one segment test through the window as a user does, waits for the results
// dialog and saves it as the X server shows it; scripts/screenshots makes the README's pictures
// with it under Xvfb.
//   windowshot OUT.png SEGMENT CLASSPATH FRAMEWORK TSSGOLD [OPEN]
// SEGMENT is PCS, TSS, PSS, IOS or OSS; the findings that start with OPEN are shown opened, with
// their first classes.
// Run it from the directory that holds data/. The run's files go to a temporary directory.

#include "base/Logger.h"
#include "base/Options.h"
#include "window/MainWindow.h"
#include "window/ResultsDialog.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>
#include <QPixmap>
#include <QRadioButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeWidget>

#include <cstdio>

namespace {

/// How long the X server is given to draw the dialog before it is taken.
constexpr int paintMilliseconds = 500;
/// The classes of an opened finding that are opened too, to show where they make it.
constexpr int openClasses = 3;

void openFindings(const ResultsDialog &dialog, const QString &start)
{
    auto *tree = dialog.findChild<QTreeWidget *>("findings");
    if (!tree || start.isEmpty())
        return;
    for (int i = 0; i < tree->topLevelItemCount(); ++i) {
        QTreeWidgetItem *item = tree->topLevelItem(i);
        if (!item->text(0).startsWith(start))
            continue;
        item->setExpanded(true);
        tree->setCurrentItem(item);
        for (int child = 0; child < item->childCount() && child < openClasses; ++child)
            item->child(child)->setExpanded(true);
    }
}

bool fill(const MainWindow &window, const QStringList &args)
{
    auto *segment = window.findChild<QRadioButton *>("segment_" + args.at(2));
    if (!segment)
        return false;
    segment->click();
    window.findChild<QLineEdit *>("classpath")->setText(args.at(3));
    window.findChild<QLineEdit *>("frameworkclasspath")->setText(args.at(4));
    window.findChild<QLineEdit *>("tssgoldfilename")->setText(args.at(5));
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 6 || argc > 7) {
        std::fputs("usage: windowshot OUT.png SEGMENT CLASSPATH FRAMEWORK TSSGOLD [OPEN]\n",
                   stderr);
        return 1;
    }
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    QTemporaryDir logDir;
    Options::opts->logDir = logDir.path();
    Logger::init(logDir.path());

    MainWindow window;
    window.show();
    if (!fill(window, args)) {
        std::fputs("windowshot: SEGMENT is one of PCS, TSS, PSS, IOS, OSS\n", stderr);
        return 1;
    }
    window.findChild<QAbstractButton *>("btn_runtest")->click();

    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto *dialog = window.findChild<ResultsDialog *>();
        if (!dialog || !dialog->isVisible())
            return;
        poll.stop();
        openFindings(*dialog, args.value(6));
        QTimer::singleShot(paintMilliseconds, [&app, dialog, &args] {
            const QRect frame = dialog->frameGeometry();
            const QPixmap shot = QGuiApplication::primaryScreen()->grabWindow(
                0, frame.x(), frame.y(), frame.width(), frame.height());
            app.exit(shot.save(args.at(1)) ? 0 : 1);
        });
    });
    poll.start(100);
    return app.exec();
}
