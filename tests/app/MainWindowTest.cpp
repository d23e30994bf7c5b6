#include "app/MainWindow.h"
#include "app/Options.h"
#include "app/Worker.h"
#include "support/LogCapture.h"

#include <QAbstractButton>
#include <QBoxLayout>
#include <QDir>
#include <QFile>
#include <QGridLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QProgressDialog>
#include <QRadioButton>
#include <QSemaphore>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTranslator>
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <stdexcept>

namespace {

template<typename T> T *child(const QWidget &window, const QString &name)
{
    T *found = window.findChild<T *>(name);
    EXPECT_NE(found, nullptr) << qPrintable(name);
    return found;
}

QProgressDialog *progressOf(const MainWindow &window)
{
    return window.findChild<QProgressDialog *>();
}

/// Every window test starts from the options of a GUI start-up without arguments, with the log
/// directory in a fresh temporary directory.
class MainWindowTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(logDir.isValid());
        saved = *Options::opts;
        Options::opts->logDir = logDir.path();
        Options::opts->profile = 0;
    }
    void TearDown() override { *Options::opts = saved; }

    QTemporaryDir logDir;
    Options saved;
};

struct ExpectedButton
{
    const char *name;
    const char *text;
    const char *groupTitle;
    int row; // -1: the group box lays it out in a box, not a grid
    int column;
    bool checked;
    bool enabled;
};

const ExpectedButton formButtons[] = {
    { "radioButton", "Java (J2SE8+J2EE8)", "Programming Language", -1, -1, true, true },
    { "radioButton_2", "General Purpose", "Operating System Profile", 0, 0, true, true },
    { "radioButton_4", "Safety Base", "Operating System Profile", 0, 1, false, false },
    { "radioButton_3", "Safety Extended", "Operating System Profile", 1, 0, false, false },
    { "radioButton_5", "Security", "Operating System Profile", 1, 1, false, false },
    { "segment_PCS", "PCS", "Operating System Segment", 0, 0, false, true },
    { "segment_TSS", "TSS", "Operating System Segment", 0, 1, false, true },
    { "segment_PSS", "PSS", "Operating System Segment", 0, 2, false, true },
    { "segment_IOS", "IOS", "Operating System Segment", 1, 0, false, true },
    { "segment_OSS", "OSS", "Operating System Segment", 1, 1, false, true },
};

QGroupBox *groupBoxOf(const QWidget *widget)
{
    return qobject_cast<QGroupBox *>(widget->parentWidget());
}

void expectLayoutDefaults(const QLayout *layout)
{
    ASSERT_NE(layout, nullptr);
    EXPECT_EQ(layout->spacing(), 6);
    EXPECT_EQ(layout->contentsMargins(), QMargins(11, 11, 11, 11));
}

/// Marks every text it is asked for, so that a text that bypasses translation stands out.
class MarkingTranslator : public QTranslator
{
public:
    QString translate(const char *context, const char *source, const char *, int) const override
    {
        if (QByteArray(context) != "MainWindow")
            return QString();
        return "<" + QString::fromUtf8(source) + ">";
    }
    bool isEmpty() const override { return false; }
};

/// A job of the test's own, run through the window in place of a segment test.
class CallableWorker : public Worker
{
public:
    explicit CallableWorker(std::function<void()> job)
        : Worker(nullptr)
        , job(std::move(job))
    {
    }

protected:
    void doWork() override { job(); }

private:
    std::function<void()> job;
};

class WindowWithJob : public MainWindow
{
public:
    explicit WindowWithJob(std::function<void()> job)
        : job(std::move(job))
    {
    }
    mutable int created = 0; // workers made through the window

protected:
    std::unique_ptr<Worker> createSegmentWorker() const override
    {
        ++created;
        return std::make_unique<CallableWorker>(job);
    }

private:
    std::function<void()> job;
};

} // namespace

TEST_F(MainWindowTest, GroupBoxesAndRunButtonAreStackedInOrder)
{
    MainWindow window;
    EXPECT_EQ(window.objectName(), "MainWindow");
    EXPECT_EQ(window.windowTitle(), "Java Conformance");
    EXPECT_EQ(window.size(), QSize(701, 832));
    auto *column = qobject_cast<QVBoxLayout *>(window.centralWidget()->layout());
    ASSERT_NE(column, nullptr);
    expectLayoutDefaults(column);

    const QStringList titles = { "Programming Language",
                                 "Operating System Profile",
                                 "Operating System Segment",
                                 "Classpath",
                                 "Computing Framework Classpath",
                                 "TSS Gold Filename",
                                 "Log Directory" };
    ASSERT_EQ(column->count(), titles.size() + 1);
    for (int i = 0; i < titles.size(); ++i) {
        auto *box = qobject_cast<QGroupBox *>(column->itemAt(i)->widget());
        ASSERT_NE(box, nullptr) << i;
        EXPECT_EQ(box->title(), titles[i]);
    }
    QLayout *row = column->itemAt(titles.size())->layout();
    ASSERT_NE(row, nullptr);
    ASSERT_EQ(row->count(), 2);
    EXPECT_NE(row->itemAt(0)->spacerItem(), nullptr);
    EXPECT_EQ(row->itemAt(1)->widget(), child<QAbstractButton>(window, "btn_runtest"));
    EXPECT_EQ(child<QAbstractButton>(window, "btn_runtest")->text(), "Run Test");
}

TEST_F(MainWindowTest, RadioButtonsHaveTheirTextsStatesAndPlaces)
{
    MainWindow window;
    for (const ExpectedButton &expected : formButtons) {
        SCOPED_TRACE(expected.name);
        auto *button = child<QRadioButton>(window, expected.name);
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(button->text(), expected.text);
        EXPECT_EQ(button->isChecked(), expected.checked);
        EXPECT_EQ(button->isEnabled(), expected.enabled);
        QGroupBox *box = groupBoxOf(button);
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->title(), expected.groupTitle);
        expectLayoutDefaults(box->layout());
        if (expected.row < 0)
            continue;
        auto *grid = qobject_cast<QGridLayout *>(box->layout());
        ASSERT_NE(grid, nullptr);
        int row = -1, column = -1, rowSpan = 0, columnSpan = 0;
        grid->getItemPosition(grid->indexOf(button), &row, &column, &rowSpan, &columnSpan);
        EXPECT_EQ(QPoint(column, row), QPoint(expected.column, expected.row));
    }
}

TEST_F(MainWindowTest, SegmentsExcludeEachOtherButNotTheProfile)
{
    MainWindow window;
    child<QRadioButton>(window, "segment_PCS")->click();
    child<QRadioButton>(window, "segment_OSS")->click();
    EXPECT_FALSE(child<QRadioButton>(window, "segment_PCS")->isChecked());
    EXPECT_TRUE(child<QRadioButton>(window, "segment_OSS")->isChecked());
    EXPECT_TRUE(child<QRadioButton>(window, "radioButton_2")->isChecked());
    EXPECT_TRUE(child<QRadioButton>(window, "radioButton")->isChecked());
}

TEST_F(MainWindowTest, LineEditsSitInTheirBoxesAndFrameworkEditIsPlacedByHand)
{
    MainWindow window;
    const QPair<const char *, const char *> edits[]
        = { { "classpath", "Classpath" },
            { "frameworkclasspath", "Computing Framework Classpath" },
            { "tssgoldfilename", "TSS Gold Filename" },
            { "logdir", "Log Directory" } };
    for (const auto &edit : edits) {
        auto *line = child<QLineEdit>(window, edit.first);
        ASSERT_NE(line, nullptr);
        ASSERT_NE(groupBoxOf(line), nullptr);
        EXPECT_EQ(groupBoxOf(line)->title(), edit.second);
    }
    auto *framework = child<QLineEdit>(window, "frameworkclasspath");
    EXPECT_EQ(groupBoxOf(framework)->layout(), nullptr);
    EXPECT_EQ(framework->geometry(), QRect(20, 40, 643, 30));
    EXPECT_TRUE(child<QLineEdit>(window, "classpath")->text().isEmpty());
    EXPECT_TRUE(framework->text().isEmpty());
    EXPECT_TRUE(child<QLineEdit>(window, "tssgoldfilename")->text().isEmpty());
}

TEST_F(MainWindowTest, EveryTextGoesThroughTranslationInTheWindowContext)
{
    MarkingTranslator translator;
    QCoreApplication::installTranslator(&translator);
    MainWindow window;
    QCoreApplication::removeTranslator(&translator);

    QStringList untranslated;
    auto check = [&](const QString &text) {
        if (!text.isEmpty() && !(text.startsWith('<') && text.endsWith('>')))
            untranslated << text;
    };
    check(window.windowTitle());
    for (const QGroupBox *box : window.findChildren<QGroupBox *>())
        check(box->title());
    for (const QAbstractButton *button : window.findChildren<QAbstractButton *>())
        check(button->text());
    EXPECT_EQ(window.windowTitle(), "<Java Conformance>");
    EXPECT_TRUE(untranslated.isEmpty()) << qPrintable(untranslated.join(", "));
}

TEST_F(MainWindowTest, ProgressDialogIsAnEndlessHiddenBusyIndicator)
{
    MainWindow window;
    QProgressDialog *progress = progressOf(window);
    ASSERT_NE(progress, nullptr);
    EXPECT_EQ(progress->parent(), &window);
    EXPECT_EQ(progress->minimum(), 0);
    EXPECT_EQ(progress->maximum(), 0);
    EXPECT_TRUE(progress->labelText().isEmpty());
    EXPECT_TRUE(progress->findChildren<QAbstractButton *>().isEmpty());
    EXPECT_EQ(progress->windowModality(), Qt::WindowModal);
    EXPECT_FALSE(progress->isVisible());
}

TEST_F(MainWindowTest, LogDirectoryShowsWhereThisRunWritesAndCannotBeEdited)
{
    MainWindow window;
    auto *logdir = child<QLineEdit>(window, "logdir");
    EXPECT_EQ(logdir->text(), QDir(logDir.path()).absolutePath());
    EXPECT_TRUE(logdir->isReadOnly());
    EXPECT_FALSE(logdir->toolTip().isEmpty());

    Options::opts->logDir = ".";
    MainWindow relative;
    EXPECT_EQ(child<QLineEdit>(relative, "logdir")->text(), QDir::currentPath());
}

TEST_F(MainWindowTest, RunWithoutSegmentOnlyWritesTheProfile)
{
    LogCapture log;
    MainWindow window;
    child<QLineEdit>(window, "classpath")->setText("a.jar");
    QTest::mouseClick(child<QAbstractButton>(window, "btn_runtest"), Qt::LeftButton);
    QCoreApplication::processEvents();
    EXPECT_EQ(Options::opts->profile, 1);
    EXPECT_FALSE(progressOf(window)->isVisible());
    EXPECT_TRUE(log.lines().isEmpty()) << qPrintable(log.lines().join("\n"));
}

TEST_F(MainWindowTest, ProfileCodeFollowsTheCheckedProfileButton)
{
    MainWindow window;
    const QPair<const char *, int> codes[] = { { "radioButton_3", 2 },
                                               { "radioButton_4", 3 },
                                               { "radioButton_5", 1 },
                                               { "radioButton_2", 1 } };
    for (const auto &code : codes) {
        auto *button = child<QRadioButton>(window, code.first);
        button->setEnabled(true);
        button->click();
        Options::opts->profile = 0;
        window.beginTest();
        EXPECT_EQ(Options::opts->profile, code.second) << code.first;
    }
}

TEST_F(MainWindowTest, DialogIsShownWhileTheJobRunsAndClosedWhenItIsDone)
{
    QSemaphore started, release;
    WindowWithJob window([&] {
        started.release();
        release.acquire();
    });
    window.show();
    QProgressDialog *progress = progressOf(window);
    QSignalSpy finished(progress, &QDialog::finished);

    window.beginTest();
    started.acquire();
    EXPECT_TRUE(progress->isVisible());
    EXPECT_EQ(QApplication::activeModalWidget(), progress);
    // Escape dismisses the dialog; pressing "Run Test" then must not start a second job.
    progress->reject();
    window.beginTest();
    EXPECT_EQ(window.created, 1);

    release.release();
    ASSERT_TRUE(finished.wait(5000));
    EXPECT_EQ(finished.last().at(0).toInt(), 0);
    EXPECT_FALSE(progress->isVisible());
    EXPECT_EQ(window.created, 1);
}

TEST_F(MainWindowTest, DialogClosesAndWorkerGoesWhenTheJobThrew)
{
    LogCapture log;
    WindowWithJob window([] { throw std::runtime_error("gold file vanished"); });
    window.show();
    QSignalSpy finished(progressOf(window), &QDialog::finished);

    window.beginTest();
    ASSERT_TRUE(finished.wait(5000));
    EXPECT_FALSE(progressOf(window)->isVisible());
    EXPECT_TRUE(
        log.contains(Logger::L_ERROR, "Work interrupted by exception - gold file vanished"));
    EXPECT_TRUE(log.contains(Logger::L_DEBUG, "Workered thread ended"));

    // The window is idle again: the next run gets a worker of its own.
    window.beginTest();
    ASSERT_TRUE(finished.wait(5000));
    EXPECT_EQ(window.created, 2);
}

namespace {

const char *const samples = "build/samples/";

QString sample(const QString &name)
{
    return samples + name;
}

/// What one run through the window left behind.
struct RunOutput
{
    QStringList infos;
    QStringList classpaths; // every classpath a loader chain was built over, as logged
    QString results; // results.txt of the run
};

/// Runs on the samples that scripts/build-data makes, from the top of the source tree, where the
/// recipes find data/.
class MainWindowRunTest : public MainWindowTest
{
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        previousDir = QDir::currentPath();
        QDir::setCurrent(JCT_SOURCE_DIR);
        if (!QFile::exists("data/j2se8.javagold")
            || !QFile::exists(sample("tss-interface.javagold")))
            GTEST_SKIP() << "no reference data or samples: run scripts/build-data";
    }
    void TearDown() override
    {
        QDir::setCurrent(previousDir);
        MainWindowTest::TearDown();
    }

    RunOutput run(const char *segment,
                  const QString &classpath,
                  const QString &framework,
                  const QString &tssGold)
    {
        LogCapture log;
        MainWindow window;
        window.show();
        child<QRadioButton>(window, segment)->click();
        child<QLineEdit>(window, "classpath")->setText(classpath);
        child<QLineEdit>(window, "frameworkclasspath")->setText(framework);
        child<QLineEdit>(window, "tssgoldfilename")->setText(tssGold);
        QSignalSpy finished(progressOf(window), &QDialog::finished);
        QTest::mouseClick(child<QAbstractButton>(window, "btn_runtest"), Qt::LeftButton);
        EXPECT_TRUE(progressOf(window)->isVisible());
        EXPECT_TRUE(finished.wait(60000));
        EXPECT_FALSE(progressOf(window)->isVisible());

        RunOutput output;
        output.infos = log.texts(Logger::L_INFO);
        const QString processing = "Processing classpath: ";
        for (const QString &text : log.texts(Logger::L_DEBUG)) {
            if (text.startsWith(processing))
                output.classpaths << text.mid(processing.size());
        }
        QFile results(logDir.filePath("results.txt"));
        EXPECT_TRUE(results.open(QIODevice::ReadOnly)) << qPrintable(results.fileName());
        output.results = QString::fromLocal8Bit(results.readAll());
        return output;
    }

    QString previousDir;
};

bool anyContains(const QStringList &texts, const QString &part)
{
    return std::any_of(
        texts.begin(), texts.end(), [&](const QString &text) { return text.contains(part); });
}

} // namespace

TEST_F(MainWindowRunTest, OssReadsTheClasspathFieldOnly)
{
    const RunOutput out = run("segment_OSS",
                              sample("oss-bad.jar"),
                              sample("pcs-good.jar"),
                              sample("tss-interface.javagold"));
    EXPECT_TRUE(out.infos.contains("Running OSS test"));
    EXPECT_TRUE(out.classpaths.contains(sample("oss-bad.jar")));
    EXPECT_FALSE(anyContains(out.classpaths, "pcs-good")) << qPrintable(out.classpaths.join("\n"));
    EXPECT_FALSE(anyContains(out.classpaths, "tss-interface"));
    EXPECT_TRUE(out.results.contains("Interface Results:"));
    EXPECT_FALSE(out.results.contains("Access Results:"));
    EXPECT_TRUE(out.results.contains("Class java.util.Stack existence test: FAIL"));
}

TEST_F(MainWindowRunTest, IosReadsClasspathAndFrameworkButNotTheGoldField)
{
    // "::" at the end leaves one entry; the gold field names a file that is not there.
    const RunOutput out = run(
        "segment_IOS", sample("ios-bad.jar") + "::", sample("pcs-good.jar"), "no-such.javagold");
    EXPECT_TRUE(out.infos.contains("Running IOS test"));
    EXPECT_TRUE(out.classpaths.contains(sample("ios-bad.jar")));
    EXPECT_TRUE(anyContains(out.classpaths, sample("ios-bad.jar") + ":" + sample("pcs-good.jar")))
        << qPrintable(out.classpaths.join("\n"));
    EXPECT_FALSE(anyContains(out.classpaths, "no-such"));
    EXPECT_LT(out.results.indexOf("Interface Results:"), out.results.indexOf("Access Results:"));
    EXPECT_TRUE(out.results.contains("Class parent drav.common.DravException test: FAIL"));
}

TEST_F(MainWindowRunTest, PcsGetsTheGoldFileAndATwoEntryFramework)
{
    const QString framework = sample("ios-good.jar") + ":" + sample("tss-good.jar");
    const RunOutput out
        = run("segment_PCS", sample("pcs-bad.jar"), framework, sample("tss-interface.javagold"));
    EXPECT_TRUE(out.infos.contains("Running PCS test"));
    // Under General Purpose, the only profile the window offers, J2EE 8 leads the allowed APIs.
    EXPECT_TRUE(anyContains(out.classpaths, "data/j2ee8.javagold:data/j2se8.javagold:"));
    EXPECT_TRUE(anyContains(out.classpaths, sample("tss-interface.javagold") + ":" + framework))
        << qPrintable(out.classpaths.join("\n"));
    EXPECT_FALSE(out.results.contains("Interface Results:"));
    EXPECT_TRUE(out.results.contains("Method validate permission test: FAIL"));
}

TEST_F(MainWindowRunTest, PssFindsWhatTheFrameworkProvides)
{
    const QString plugin = "vendor.pss.plugin.Plugin existence test: FAIL";
    const RunOutput alone
        = run("segment_PSS", sample("pss-bad.jar"), "", sample("tss-interface.javagold"));
    EXPECT_TRUE(alone.infos.contains("Running PSS test"));
    EXPECT_TRUE(alone.results.contains(plugin));

    const QString framework = JCT_FIXTURES_FRAMEWORK "/framework.jar";
    const RunOutput withFramework
        = run("segment_PSS", sample("pss-bad.jar"), framework, sample("tss-interface.javagold"));
    EXPECT_FALSE(withFramework.results.contains(plugin));
    EXPECT_TRUE(withFramework.results.contains(
        "Class drav.tss.abstraction.TypedTransport existence test: FAIL"));
}

TEST_F(MainWindowRunTest, TssRequiresTheInterfaceOfTheGoldField)
{
    const RunOutput out
        = run("segment_TSS", sample("tss-good.jar"), "", sample("tss-interface.javagold"));
    EXPECT_TRUE(out.infos.contains("Running TSS test"));
    EXPECT_TRUE(out.results.contains("drav.sample.tss.Position:"));
    EXPECT_TRUE(out.results.contains("Access Results:"));
    EXPECT_FALSE(out.results.contains(": FAIL")) << qPrintable(out.results);
}
