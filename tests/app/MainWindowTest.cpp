#include "app/MainWindow.h"
#include "app/Options.h"
#include "app/Worker.h"
#include "support/BuiltData.h"
#include "support/LogCapture.h"

#include <QAbstractButton>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QProgressDialog>
#include <QRadioButton>
#include <QSemaphore>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

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

struct SegmentFields
{
    const char *button;
    const char *workerLine;
    bool framework; // reads the framework field
    bool tssGold; // reads the TSS gold field
};

} // namespace

TEST_F(MainWindowTest, EachSegmentRunsItsTestOnTheFieldsItReads)
{
    const SegmentFields segments[] = {
        { "segment_OSS", "Running OSS test", false, false },
        { "segment_IOS", "Running IOS test", true, false },
        { "segment_PCS", "Running PCS test", true, true },
        { "segment_PSS", "Running PSS test", true, true },
        { "segment_TSS", "Running TSS test", true, true },
    };
    BuiltData::path("data/j2se8.javagold");
    const QString previousDir = QDir::currentPath();
    QDir::setCurrent(BuiltData::dir());
    for (const SegmentFields &segment : segments) {
        SCOPED_TRACE(segment.button);
        LogCapture log;
        MainWindow window;
        window.show();
        child<QRadioButton>(window, segment.button)->click();
        // "::" at the end leaves one entry.
        child<QLineEdit>(window, "classpath")->setText("component.jar::");
        child<QLineEdit>(window, "frameworkclasspath")->setText("framework.jar");
        child<QLineEdit>(window, "tssgoldfilename")->setText("interface.javagold");
        QSignalSpy finished(progressOf(window), &QDialog::finished);
        QTest::mouseClick(child<QAbstractButton>(window, "btn_runtest"), Qt::LeftButton);
        EXPECT_TRUE(progressOf(window)->isVisible());
        ASSERT_TRUE(finished.wait(60000));
        EXPECT_TRUE(log.texts(Logger::L_INFO).contains(segment.workerLine));
        const QString classpaths
            = log.texts(Logger::L_DEBUG).filter("Processing classpath: ").join('\n');
        EXPECT_TRUE(classpaths.contains("component.jar")) << qPrintable(classpaths);
        EXPECT_FALSE(classpaths.contains("::") || classpaths.contains(":\n")
                     || classpaths.endsWith(':'))
            << qPrintable(classpaths);
        EXPECT_EQ(classpaths.contains("framework.jar"), segment.framework);
        EXPECT_EQ(classpaths.contains("interface.javagold"), segment.tssGold);
        // Under General Purpose, the only profile the window offers, J2EE 8 is allowed.
        EXPECT_TRUE(classpaths.contains("data/j2ee8.javagold")) << qPrintable(classpaths);
        EXPECT_TRUE(QFile::exists(logDir.filePath("results.txt")));
    }
    QDir::setCurrent(previousDir);
}
