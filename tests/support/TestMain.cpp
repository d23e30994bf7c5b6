#include "base/Logger.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#ifdef JCT_GUI_TESTS
#include <QApplication>
using TestApplication = QApplication;
#else
#include <QCoreApplication>
using TestApplication = QCoreApplication;
#endif

// Every suite runs with an application object and the one logger, as the program does; the log
// goes to a throw-away directory so that tests never litter the working directory.
int main(int argc, char **argv)
{
    testing::InitGoogleTest(&argc, argv);
    // Widgets are tested without a display; test discovery runs without CTest's environment.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    TestApplication app(argc, argv);
    QTemporaryDir logDir;
    Logger::init(logDir.path());
    // For the tests of the log itself, which read what it wrote.
    qputenv("JCT_TEST_LOG_DIR", QFile::encodeName(logDir.path()));
    return RUN_ALL_TESTS();
}
