#include "app/MainWindow.h"

#include "CallableWorker.h"
#include "app/Options.h"
#include "conformance/EmptyGoldData.h"
#include "support/LogCapture.h"

#include <QAbstractButton>
#include <QDir>
#include <QLineEdit>
#include <QProgressDialog>
#include <QRadioButton>
#include <QSemaphore>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

#include <stdexcept>

namespace {

template<typename T> T *child(const QWidget &window, const QString &name)
{
    T *found = window.findChild<T *>(name);
    EXPECT_NE(found, nullptr) << qPrintable(name);
    return found;
}

/// Every window test starts from the options of a GUI start-up without arguments, with the log
/// directory in a fresh temporary directory.
class MainWindowTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        saved = *Options::opts;
        Options::opts->logDir = logDir.path();
        Options::opts->profile = 0;
    }
    void TearDown() override { *Options::opts = saved; }

    QTemporaryDir logDir;
    Options saved;
};

/// A window that runs a job of the test's own in place of a segment test.
class WindowWithJob : public MainWindow
{
public:
    explicit WindowWithJob(std::function<void()> job)
        : job(std::move(job))
    {
        show();
    }
    QProgressDialog &progress() const { return *findChild<QProgressDialog *>(); }
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

TEST_F(MainWindowTest, RunWithoutSegmentOnlyWritesTheProfileThatFollowsTheCheckedButton)
{
    LogCapture log;
    MainWindow window;
    EXPECT_EQ(child<QLineEdit>(window, "logdir")->text(), logDir.path());
    Options::opts->logDir = ".";
    EXPECT_EQ(child<QLineEdit>(MainWindow(), "logdir")->text(), QDir::currentPath());
    child<QLineEdit>(window, "classpath")->setText("a.jar");
    QTest::mouseClick(child<QAbstractButton>(window, "btn_runtest"), Qt::LeftButton);
    QCoreApplication::processEvents();
    EXPECT_EQ(Options::opts->profile, 1);
    EXPECT_FALSE(window.findChild<QProgressDialog *>()->isVisible());
    EXPECT_TRUE(log.lines().isEmpty()) << qPrintable(log.lines().join("\n"));

    for (const auto &code :
         { qMakePair(QString("radioButton_3"), 2), qMakePair(QString("radioButton_4"), 3) }) {
        auto *button = child<QRadioButton>(window, code.first);
        button->setEnabled(true);
        button->click();
        window.beginTest();
        EXPECT_EQ(Options::opts->profile, code.second) << qPrintable(code.first);
    }
}

TEST_F(MainWindowTest, DialogIsShownWhileTheJobRunsAndClosedWhenItIsDone)
{
    QSemaphore started, release;
    WindowWithJob window([&] {
        started.release();
        release.acquire();
    });
    QSignalSpy finished(&window.progress(), &QDialog::finished);

    window.beginTest();
    started.acquire();
    EXPECT_TRUE(window.progress().isVisible());
    EXPECT_EQ(QApplication::activeModalWidget(), &window.progress());
    // Escape dismisses the dialog; pressing "Run Test" then must not start a second job.
    window.progress().reject();
    window.beginTest();
    EXPECT_EQ(window.created, 1);

    release.release();
    ASSERT_TRUE(finished.wait(5000));
    EXPECT_EQ(finished.last().at(0).toInt(), 0);
    EXPECT_FALSE(window.progress().isVisible());
    EXPECT_EQ(window.created, 1);
}

TEST_F(MainWindowTest, DialogClosesAndWorkerGoesWhenTheJobThrew)
{
    WindowWithJob window([] { throw std::runtime_error("gold file vanished"); });
    QSignalSpy finished(&window.progress(), &QDialog::finished);
    window.beginTest();
    ASSERT_TRUE(finished.wait(5000));
    EXPECT_FALSE(window.progress().isVisible());
    // The window is idle again: the next run gets a worker of its own.
    window.beginTest();
    ASSERT_TRUE(finished.wait(5000));
    EXPECT_EQ(window.created, 2);
}

// Under General Purpose, the only profile the window offers, J2EE 8 is allowed.
TEST_F(MainWindowTest, EachSegmentRunsItsTestOnTheFieldsItReads)
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
        MainWindow window;
        window.show();
        child<QRadioButton>(window, segment.button)->click();
        // "::" at the end leaves one entry.
        child<QLineEdit>(window, "classpath")->setText("component.jar::");
        child<QLineEdit>(window, "frameworkclasspath")->setText("framework.jar");
        child<QLineEdit>(window, "tssgoldfilename")->setText("interface.javagold");
        QSignalSpy finished(window.findChild<QProgressDialog *>(), &QDialog::finished);
        QTest::mouseClick(child<QAbstractButton>(window, "btn_runtest"), Qt::LeftButton);
        ASSERT_TRUE(finished.wait(60000));
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
