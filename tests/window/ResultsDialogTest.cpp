// What the window shows of a run: the results dialog when it is over and the busy dialog while it
// runs.

#include "window/ResultsDialog.h"
#include "base/Options.h"
#include "conformance/EmptyGoldData.h"
#include "report/FindingTrees.h"
#include "support/BuiltData.h"
#include "support/Golden.h"
#include "support/LogCapture.h"
#include "support/QtPrinters.h"
#include "window/MainWindow.h"
#include "window/RunProgressDialog.h"

#include <QAbstractButton>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QRadioButton>
#include <QScrollBar>
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

/// The rows of an item's children, or of the whole tree: each row's texts, its state, then its
/// own children further in. Hidden rows are left out.
void dumpRows(const QTreeWidgetItem &parent, const QString &indent, QByteArray &out)
{
    for (int i = 0; i < parent.childCount(); ++i) {
        const QTreeWidgetItem &row = *parent.child(i);
        if (row.isHidden())
            continue;
        QStringList texts;
        for (int column = 0; column < row.columnCount(); ++column)
            texts << row.text(column);
        out += (indent + texts.join(" | ") + (row.isExpanded() ? " [open]" : "") + '\n').toUtf8();
        dumpRows(row, indent + "  ", out);
    }
}

QByteArray dump(const QTreeWidget &tree)
{
    QByteArray out;
    dumpRows(*tree.invisibleRootItem(), "", out);
    return out;
}

/// Runs through the real window, from the folder of the built data where data/ is, with the log
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

    /// The results dialog after a run of a segment's test through the window's fields, or null.
    ResultsDialog *run(const char *segment,
                       const QString &classpath,
                       const QString &framework,
                       const QString &tssGold = BuiltData::path("samples/tss-interface.javagold"))
    {
        window.show();
        window.findChild<QRadioButton *>(segment)->click();
        window.findChild<QLineEdit *>("classpath")->setText(classpath);
        window.findChild<QLineEdit *>("frameworkclasspath")->setText(framework);
        window.findChild<QLineEdit *>("tssgoldfilename")->setText(tssGold);
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
    ResultsDialog *dialog = run("segment_PSS",
                                JCT_FIXTURES_FINDINGS "/findings.jar",
                                JCT_FIXTURES_FINDINGSAPI "/findingsapi.jar");
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->windowTitle(), "Results of the PSS test");
    EXPECT_EQ(labelText(*dialog, "verdict"),
              "Verdict: does not conform - 54 results failed (8 distinct findings)");
    EXPECT_EQ(labelText(*dialog, "counts"),
              "Results: 0 PASS, 54 FAIL, 0 INSPECT\nClasses checked: 18 of the component");
    EXPECT_EQ(dialog->findChild<QLabel *>("notRead"), nullptr);

    // Each finding once, failures first, with the classes it affects, the jar each was read
    // from and where each makes it.
    Golden::expectEqual("window/dialog-fixture-run.txt",
                        dump(treeOf(*dialog)).replace(JCT_FIXTURES_FINDINGS, "@FINDINGS@"));

    // The files of this run, opened by the desktop where they are (the tests' log is elsewhere).
    UrlCatcher desktop;
    QList<QUrl> opened;
    for (const char *button : { "openText", "openLog", "openHtml" }) {
        auto *open = dialog->findChild<QAbstractButton *>(button);
        ASSERT_NE(open, nullptr) << button;
        const QString file = open->toolTip();
        EXPECT_EQ(QFileInfo(file).dir(), QDir(logDir.path())) << button;
        EXPECT_TRUE(open->isEnabled() || !QFile::exists(file)) << button;
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
    for (const auto &c : cases) {
        SCOPED_TRACE(qPrintable(c.classpath));
        ResultsDialog *dialog = run("segment_PSS", c.classpath, "");
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(labelText(*dialog, "verdict"),
                  "Verdict: incomplete - 1 input not read, so part of the component or of what "
                  "it is checked against was never checked");
        EXPECT_EQ(labelText(*dialog, "notRead"), "Not read, so never checked:\n    " + c.notRead);
        EXPECT_EQ(treeOf(*dialog).topLevelItemCount(), 0);
    }
}

// Under General Purpose, the only profile the window offers, J2EE 8 is allowed.
TEST_F(WindowResults, EachSegmentRunsItsTestOnTheFieldsItReads)
{
    const struct
    {
        const char *button;
        const char *workerLine;
        bool framework;
        bool tssGold;
    } segments[] = {
        { "segment_OSS", "Running OSS test", false, false },
        { "segment_IOS", "Running IOS test", true, false },
        { "segment_PCS", "Running PCS test", true, true },
        { "segment_PSS", "Running PSS test", true, true },
        { "segment_TSS", "Running TSS test", true, true },
    };
    const EmptyGoldData data;
    for (const auto &segment : segments) {
        SCOPED_TRACE(segment.button);
        LogCapture log;
        // "::" at the end leaves one entry.
        run(segment.button, "component.jar::", "framework.jar", "interface.javagold");
        EXPECT_TRUE(log.texts(Logger::L_INFO).contains(segment.workerLine));
        const QString classpaths
            = log.texts(Logger::L_DEBUG).filter("Processing classpath: ").join('\n') + '\n';
        EXPECT_TRUE(classpaths.contains("component.jar")) << qPrintable(classpaths);
        EXPECT_FALSE(classpaths.contains("::") || classpaths.contains(":\n"));
        EXPECT_EQ(classpaths.contains("framework.jar"), segment.framework);
        EXPECT_EQ(classpaths.contains("interface.javagold"), segment.tssGold);
        EXPECT_TRUE(classpaths.contains("data/j2ee8.javagold")) << qPrintable(classpaths);
        EXPECT_TRUE(QFile::exists(logDir.filePath("results.txt")));
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
    ResultsDialog dialog({ "PSS test", Findings(*tree.root), QString(), {} }, nullptr);
    // Failures first, even before an inspection that affects more classes; then what each
    // filter keeps: a class, a place, a cause, a finding (shown whole, closed), and nothing.
    QByteArray transcript = dump(treeOf(dialog));
    for (const char *filter : { "a.TWO", "theunsafe", "fw.buffer", "sun.MISC", "" }) {
        dialog.findChild<QLineEdit *>("filter")->setText(filter);
        transcript += QByteArray("[") + filter + "]\n" + dump(treeOf(dialog));
    }
    Golden::expectEqual("window/dialog-filters.txt", transcript);
    EXPECT_FALSE(dialog.findChild<QAbstractButton *>("openText")->isEnabled());
}

// A descriptor of many parameters and a path of no spaces are wider than any screen: the dialog
// keeps its width and wraps them, and no part of a text is cut off.
TEST(ResultsDialog, LongDescriptorsAndPathsWrapInsteadOfWideningTheDialog)
{
    QString descriptor = "(";
    for (int i = 0; i < 40; ++i)
        descriptor += QString("Lcom/example/deeply/nested/pkg%1/SomeRatherLongClassName;").arg(i);
    descriptor += ")V";
    FindingTree tree;
    tree.add({ "Access Results", "a.One" },
             "Method call existence test",
             "Access to method call " + descriptor
                 + " in class a.Two was requested. Checking for method existence.",
             R_FAIL,
             "Method not found");
    const QString path = "/tmp/" + QString("very-long-directory-name/").repeated(30) + "x.jar";
    tree.add({ "Input Results", path }, "Input test", "Reading " + path, R_FAIL, "Not read");
    ResultsDialog dialog({ "PSS test", Findings(*tree.root), QString(), {} }, nullptr);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    EXPECT_LE(dialog.width(), 900);
    EXPECT_LE(dialog.minimumSizeHint().width(), 900);
    QTreeWidget &findings = treeOf(dialog);
    EXPECT_FALSE(findings.horizontalScrollBar()->isVisible());
    for (const QLabel *label : dialog.findChildren<QLabel *>())
        EXPECT_LE(label->sizeHint().width(), 900) << qPrintable(label->objectName());
    QTreeWidgetItem *finding = findings.topLevelItem(0);
    const QRect shown = findings.visualItemRect(finding);
    EXPECT_GT(shown.height(), 3 * findings.fontMetrics().height()) << "wrapped over lines";
}

TEST(RunProgressDialog, NamesTheTestAndShowsTheProgressItLogs)
{
    RunProgressDialog progress(nullptr);
    auto *bar = progress.findChild<QProgressBar *>();
    ASSERT_NE(bar, nullptr);
    progress.begin();
    EXPECT_TRUE(progress.isVisible());
    std::thread worker([] {
        logLine(Logger::L_INFO, "Running PSS test");
        logLine(Logger::L_INFO, "Access test starting");
        logLine(Logger::L_INFO, "Test 50% 2/4 a.Two");
        // A name read from a class file: one line, never markup.
        logLine(Logger::L_INFO, "Test 75% 3/4 <b>a\nThree");
        logLine(Logger::L_DEBUG, "Test 99% 4/4 not progress");
    });
    worker.join();
    QTRY_COMPARE(progress.labelText(),
                 QString("Running PSS test\nAccess test\nTest 75% 3/4 <b>a\\nThree"));
    // The dialog grows to show every line, the last one too.
    const auto *label = progress.findChild<QLabel *>();
    EXPECT_GE(label->height(), label->sizeHint().height());
    EXPECT_EQ(bar->maximum(), 4);
    EXPECT_EQ(bar->value(), 3);

    // A new test restarts the count: endless until it logs its first step.
    logLine(Logger::L_INFO, "Interface test starting");
    QTRY_COMPARE(progress.labelText(), QString("Running PSS test\nInterface test"));
    EXPECT_EQ(bar->maximum(), 0);

    progress.end();
    EXPECT_FALSE(progress.isVisible());
    EXPECT_TRUE(progress.labelText().isEmpty());
}

#include "ResultsDialogTest.moc"
