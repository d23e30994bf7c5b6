// What the window shows of a run: the results dialog when it is over and the busy dialog while it
// runs.

#include "app/ResultsDialog.h"
#include "app/MainWindow.h"
#include "app/Options.h"
#include "app/RunProgressDialog.h"
#include "conformance/FindingTrees.h"
#include "support/BuiltData.h"

#include <QAbstractButton>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>
#include <QUrl>
#include <gtest/gtest.h>

#include <thread>

namespace {

/// Takes the URLs the dialog hands to the desktop, instead of the desktop.
class UrlCatcher : public QObject
{
    Q_OBJECT
public:
    UrlCatcher() { QDesktopServices::setUrlHandler("file", this, "open"); }
    ~UrlCatcher() override { QDesktopServices::unsetUrlHandler("file"); }
    QList<QUrl> urls;

public slots:
    void open(const QUrl &url) { urls << url; }
};

QString labelText(const QWidget &dialog, const QString &name)
{
    const auto *label = dialog.findChild<QLabel *>(name);
    return label ? label->text() : QString();
}

QTreeWidget &treeOf(const ResultsDialog &dialog)
{
    auto *tree = dialog.findChild<QTreeWidget *>("findings");
    EXPECT_NE(tree, nullptr);
    return *tree;
}

QStringList childTexts(const QTreeWidgetItem &item, bool visibleOnly = false)
{
    QStringList texts;
    for (int i = 0; i < item.childCount(); ++i) {
        if (!visibleOnly || !item.child(i)->isHidden())
            texts << item.child(i)->text(0);
    }
    return texts;
}

/// "text RESULT classes" of each finding, in the order shown.
QStringList topLevel(const QTreeWidget &tree, bool visibleOnly = false)
{
    QStringList rows;
    for (int i = 0; i < tree.topLevelItemCount(); ++i) {
        const QTreeWidgetItem &item = *tree.topLevelItem(i);
        if (!visibleOnly || !item.isHidden())
            rows << QString("%1 %2 %3").arg(item.text(0), item.text(1), item.text(2));
    }
    return rows;
}

/// Runs through the real window, from the top of the source tree where data/ is, with the log
/// directory in a fresh temporary directory.
class WindowResults : public testing::Test
{
protected:
    void SetUp() override
    {
        saved = *Options::opts;
        previousDir = QDir::currentPath();
        Options::opts->logDir = logDir.path();
        BuiltData::path("data/j2se8.javagold");
        QDir::setCurrent(BuiltData::dir());
    }
    void TearDown() override
    {
        QDir::setCurrent(previousDir);
        *Options::opts = saved;
    }

    /// The results dialog after a PSS run through the window, or null.
    ResultsDialog *runPss(const QString &classpath, const QString &framework)
    {
        window.show();
        window.findChild<QRadioButton *>("segment_PSS")->click();
        window.findChild<QLineEdit *>("classpath")->setText(classpath);
        window.findChild<QLineEdit *>("frameworkclasspath")->setText(framework);
        window.findChild<QLineEdit *>("tssgoldfilename")
            ->setText(BuiltData::path("samples/tss-interface.javagold"));
        QSignalSpy finished(window.findChild<QProgressDialog *>(), &QDialog::finished);
        QTest::mouseClick(window.findChild<QAbstractButton *>("btn_runtest"), Qt::LeftButton);
        EXPECT_TRUE(finished.wait(60000));
        auto *dialog = window.findChild<ResultsDialog *>();
        EXPECT_TRUE(dialog && dialog->isVisible());
        return dialog;
    }

    QTemporaryDir logDir;
    Options saved;
    QString previousDir;
    MainWindow window;
};

} // namespace

TEST_F(WindowResults, AFixtureRunShowsVerdictCountsAndEachFindingOnceWithItsClasses)
{
    ResultsDialog *dialog = runPss(JCT_FIXTURES_FINDINGS "/findings.jar",
                                   JCT_FIXTURES_FINDINGSAPI "/findingsapi.jar");
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->windowTitle(), "Results of the PSS test");
    EXPECT_EQ(labelText(*dialog, "verdict"),
              "Verdict: does not conform - 54 results failed (8 distinct findings)");
    EXPECT_EQ(labelText(*dialog, "counts"), "Results: 0 PASS, 54 FAIL, 0 INSPECT");
    EXPECT_EQ(dialog->findChild<QLabel *>("notRead"), nullptr);

    const QTreeWidget &tree = treeOf(*dialog);
    const QStringList rows = topLevel(tree);
    ASSERT_EQ(rows.size(), 8);
    EXPECT_EQ(rows.filter("sun.misc.Unsafe").size(), 1);
    EXPECT_EQ(rows.first(), "sun.misc.Unsafe not found FAIL 14");
    const QStringList users = childTexts(*tree.topLevelItem(0));
    ASSERT_EQ(users.size(), 14);
    EXPECT_EQ(users.first(), "vendor.findings.UnsafeUsers$User01");
    // Both references of the one line of the method that makes it.
    EXPECT_EQ(childTexts(*tree.topLevelItem(0)->child(0)), QStringList { "size(), line 9" });
    EXPECT_EQ(rows.at(1), "method fw.Bytes fw.Bytes.flip() not found FAIL 1");
    EXPECT_EQ(childTexts(*tree.topLevelItem(1)),
              (QStringList { "Cause: exists returning fw.Buffer: compiled against a newer API; "
                             "build with --release 8",
                             "vendor.findings.Flipper" }));

    // The files of this run, opened by the desktop where they are (the tests' log is elsewhere).
    UrlCatcher desktop;
    QList<QUrl> opened;
    for (const char *button : { "openText", "openLog", "openHtml" }) {
        auto *open = dialog->findChild<QAbstractButton *>(button);
        ASSERT_NE(open, nullptr) << button;
        const QString file = open->toolTip();
        EXPECT_EQ(QFileInfo(file).dir(), QDir(logDir.path())) << button;
        EXPECT_EQ(open->isEnabled(), QFile::exists(file)) << button;
        if (open->isEnabled()) {
            open->click();
            opened << QUrl::fromLocalFile(file);
        }
    }
    EXPECT_EQ(desktop.urls, opened);
    EXPECT_TRUE(opened.contains(QUrl::fromLocalFile(logDir.filePath("results.txt"))));
}

TEST_F(WindowResults, ARunThatReadNothingSaysWhatWasNotRead)
{
    const struct
    {
        QString classpath;
        QString notRead;
    } cases[] = {
        { "", "component classpath: no jar or directory was given" },
        { "nowhere.jar",
          "component classpath entry nowhere.jar: not found in " + QDir::currentPath() },
    };
    for (const auto &run : cases) {
        SCOPED_TRACE(qPrintable(run.classpath));
        ResultsDialog *dialog = runPss(run.classpath, "");
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(labelText(*dialog, "verdict"),
                  "Verdict: incomplete - 1 input not read, so part of the component or of what "
                  "it is checked against was never checked");
        EXPECT_EQ(labelText(*dialog, "notRead"), "Not read, so never checked:\n    " + run.notRead);
        EXPECT_EQ(treeOf(*dialog).topLevelItemCount(), 0);
    }
}

TEST(ResultsDialog, FailuresComeFirstAndTheFilterKeepsWhatMatchesWithItsFinding)
{
    FindingTree tree = FindingTree::mixedRun();
    // An inspection that affects more classes than any failure still comes after them.
    for (const char *user : { "b.One", "b.Two", "b.Three" }) {
        tree.add({ "Access Results", user },
                 "Method load JNI test",
                 "Access to method load (Ljava/lang/String;)V in class java.lang.System was "
                 "requested. Checking if method is a JNI call.",
                 R_INSPECT,
                 "Inspection required to determine conformance of JNI calls.");
    }
    DependencyOrigins origins;
    origins.add({ DependencyOrigins::P_CODE, "run(Ljava/lang/String;[I)V", 12 });
    origins.add({ DependencyOrigins::P_FIELD_TYPE, "theUnsafe", 0 });
    origins.addMore(2);
    setOrigins(*tree.root->mutable_subgroup(1)->mutable_subgroup(0)->mutable_results(0), origins);
    ResultsDialog dialog({ "PSS test", Findings(*tree.root), QString() }, "/nowhere", nullptr);
    QTreeWidget &findings = treeOf(dialog);
    const QStringList results
        = topLevel(findings).replaceInStrings(QRegExp("^.* (\\w+) \\d+$"), "\\1");
    EXPECT_EQ(results, (QStringList { "FAIL", "FAIL", "FAIL", "INSPECT", "INSPECT" }));
    EXPECT_EQ(topLevel(findings).first(), "sun.misc.Unsafe not found FAIL 2");
    EXPECT_TRUE(topLevel(findings).at(3).startsWith("JNI call void java.lang.System.load("));
    EXPECT_FALSE(dialog.findChild<QAbstractButton *>("openText")->isEnabled());

    // A class: the findings that affect it, opened on it alone.
    dialog.findChild<QLineEdit *>("filter")->setText("a.TWO");
    EXPECT_EQ(
        topLevel(findings, true),
        (QStringList { "sun.misc.Unsafe not found FAIL 2",
                       "native method int x.Native.open(int): inspection required INSPECT 1" }));
    QTreeWidgetItem &unsafe = *findings.topLevelItem(0);
    EXPECT_TRUE(unsafe.isExpanded());
    EXPECT_EQ(childTexts(unsafe, true), QStringList { "a.Two" });

    // A place: the finding and the class opened on it.
    dialog.applyFilter("theunsafe");
    EXPECT_EQ(topLevel(findings, true), QStringList { "sun.misc.Unsafe not found FAIL 2" });
    QTreeWidgetItem &one = *unsafe.child(0);
    EXPECT_TRUE(unsafe.isExpanded() && one.isExpanded());
    EXPECT_EQ(childTexts(unsafe, true), QStringList { "a.One" });
    EXPECT_EQ(childTexts(one, true), QStringList { "field type of theUnsafe" });
    dialog.applyFilter("");
    EXPECT_EQ(childTexts(one),
              (QStringList { "run(java.lang.String, int[]), line 12",
                             "field type of theUnsafe",
                             "and 2 more uses" }));

    // A cause: its finding, whole.
    dialog.applyFilter("fw.buffer");
    const QList<QTreeWidgetItem *> flip
        = findings.findItems("method fw.Bytes fw.Bytes.flip() not found", Qt::MatchExactly);
    ASSERT_EQ(flip.size(), 1);
    EXPECT_EQ(topLevel(findings, true).size(), 1);
    EXPECT_FALSE(flip.first()->isHidden());
    EXPECT_EQ(childTexts(*flip.first(), true),
              (QStringList { "Cause: exists returning fw.Buffer", "a.Three" }));

    // A finding: shown whole, closed; no filter: everything again.
    dialog.applyFilter("sun.MISC");
    EXPECT_EQ(childTexts(unsafe, true), (QStringList { "a.One", "a.Two" }));
    EXPECT_FALSE(unsafe.isExpanded());
    dialog.applyFilter("");
    EXPECT_EQ(topLevel(findings, true).size(), 5);
}

TEST(RunProgressDialog, NamesTheTestAndShowsTheProgressItLogs)
{
    RunProgressDialog progress(nullptr);
    auto *bar = progress.findChild<QProgressBar *>();
    ASSERT_NE(bar, nullptr);
    progress.begin();
    EXPECT_TRUE(progress.isVisible());
    std::thread worker([] {
        emit Logger::logger->log(Logger::L_INFO, "Running PSS test");
        emit Logger::logger->log(Logger::L_INFO, "Access test starting");
        emit Logger::logger->log(Logger::L_INFO, "Test 50% 2/4 a.Two");
        // A name read from a class file: one line, never markup.
        emit Logger::logger->log(Logger::L_INFO, "Test 75% 3/4 <b>a\nThree");
        emit Logger::logger->log(Logger::L_DEBUG, "Test 99% 4/4 not progress");
    });
    worker.join();
    QTRY_COMPARE(progress.labelText(),
                 QString("Running PSS test\nAccess test\nTest 75% 3/4 <b>a\\nThree"));
    EXPECT_EQ(bar->maximum(), 4);
    EXPECT_EQ(bar->value(), 3);

    // A new test restarts the count: endless until it logs its first step.
    emit Logger::logger->log(Logger::L_INFO, "Interface test starting");
    QTRY_COMPARE(progress.labelText(), QString("Running PSS test\nInterface test"));
    EXPECT_EQ(bar->maximum(), 0);

    progress.end();
    EXPECT_FALSE(progress.isVisible());
    EXPECT_TRUE(progress.labelText().isEmpty());
}

#include "ResultsDialogTest.moc"
