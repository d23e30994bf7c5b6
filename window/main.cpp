// The window's program: the console program hands GUI mode over to it with the command line it was
// given, so that only a run with a window loads the GUI libraries.

#include "app/Startup.h"
#include "base/Logger.h"
#include "base/Options.h"
#include "window/GuiStartGuard.h"
#include "window/MainWindow.h"

#include <QApplication>

#include <memory>

namespace {

// The window takes the command, classpaths, gold file and profile from its own fields.
void warnConsoleOnlyOptions()
{
    const QStringList &ignored = Options::opts->consoleOnly;
    if (ignored.isEmpty())
        return;
    logLine(Logger::L_WARN,
            QString("%1 ignored in GUI mode: add --nogui to run the command in "
                    "the console.")
                .arg(ignored.join(", ")));
}

int runGui(int &argc, char **argv)
{
    warnConsoleOnlyOptions();
    std::unique_ptr<QApplication> app;
    {
        const GuiStartGuard guard;
        app = std::make_unique<QApplication>(argc, argv);
    }
    logLine(Logger::L_INFO, "Starting in GUI mode.");
    MainWindow window;
    window.show();
    const int status = app->exec();
    Logger::logger->flush();
    return status;
}

} // namespace

int main(int argc, char **argv)
{
    Startup::readOptions(argc, argv);
    // Started by hand with --nogui, it runs the command as the console program would.
    return Startup::run(argc, argv, Options::opts->gui ? &runGui : &Startup::runConsole);
}
