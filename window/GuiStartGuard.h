#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QtGlobal>

/// Watches the start of the window's platform. Without a display Qt cannot start it and aborts
/// the process after a few lines of its own; while a guard lives, that ends instead with one
/// ERROR line that says to use --nogui, Qt's lines in log.txt, and exit status 1. Qt's other
/// messages of the start are held and passed on when the guard goes.
class GuiStartGuard
{
public:
    GuiStartGuard();
    ~GuiStartGuard();
    GuiStartGuard(const GuiStartGuard &) = delete;
    GuiStartGuard &operator=(const GuiStartGuard &) = delete;

private:
    struct Message
    {
        QtMsgType type;
        QByteArray category;
        QString text;
    };

    static void handle(QtMsgType type, const QMessageLogContext &context, const QString &text);
    [[noreturn]] void fail(const QString &text);

    static GuiStartGuard *active;
    QtMessageHandler previous;
    QList<Message> held;
};
