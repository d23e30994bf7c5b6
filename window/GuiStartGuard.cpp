#include "window/GuiStartGuard.h"

#include "base/Logger.h"

#include <cstdio>
#include <cstdlib>

GuiStartGuard *GuiStartGuard::active = nullptr;

GuiStartGuard::GuiStartGuard()
    : previous(qInstallMessageHandler(&GuiStartGuard::handle))
{
    active = this;
}

GuiStartGuard::~GuiStartGuard()
{
    qInstallMessageHandler(previous);
    active = nullptr;
    for (const Message &message : held) {
        const QMessageLogContext context(nullptr, 0, nullptr, message.category.constData());
        previous(message.type, context, message.text);
    }
}

void GuiStartGuard::handle(QtMsgType type, const QMessageLogContext &context, const QString &text)
{
    if (type == QtFatalMsg)
        active->fail(text);
    active->held.append({ type, QByteArray(context.category), text });
}

void GuiStartGuard::fail(const QString &text)
{
    for (const Message &message : held)
        logLine(Logger::L_DEBUG, message.text);
    logLine(Logger::L_DEBUG, text);
    logLine(Logger::L_ERROR,
            "Cannot show the window: no display is available. Use --nogui to run "
            "a command in the console (--help lists them).");
    // Qt is half started: leave at once rather than run its clean-up on top of it.
    std::fflush(nullptr);
    std::_Exit(1);
}
