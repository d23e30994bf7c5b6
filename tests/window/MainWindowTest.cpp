#include "window/MainWindow.h"

#include "base/Options.h"
#include "support/CallableWorker.h"
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

    for (const auto &code : { qMakePair(QString("profile_safetyExt"), 2),
                              qMakePair(QString("profile_safetyBase"), 3) }) {
        auto *button = child<QRadioButton>(window, code.first);
        button->setEnabled(true);
        button->click();
        window.beginTest();
        EXPECT_EQ(Options::opts->profile, code.second) << qPrintable(code.first);
    }
}

// The job throws: the worker reports it and is done like any other.
TEST_F(MainWindowTest, DialogIsShownWhileTheJobRunsAndClosedWhenItIsDoneOrThrew)
{
    QSemaphore started, release;
    WindowWithJob window([&] {
        started.release();
        release.acquire();
        throw std::runtime_error("gold file vanished");
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
    // The window is idle again: the next run gets a worker of its own.
    release.release();
    window.beginTest();
    ASSERT_TRUE(finished.wait(5000));
    EXPECT_EQ(window.created, 2);
}
