#pragma once

#include "base/Logger.h"

#include <QMetaObject>
#include <QMutex>
#include <QProgressDialog>
#include <QString>

class QLabel;
class QProgressBar;
class QTimer;

/// The window's busy dialog: while a test runs it names the test and shows the progress the test
/// logs ("Test 42% 1234/2901 ..."), read from the log lines as the worker thread emits them.
/// Between runs it is an endless busy indicator without a label or a cancel button.
class RunProgressDialog : public QProgressDialog
{
    Q_OBJECT
public:
    /// How often the dialog takes up the latest lines: a test logs far more lines than anybody
    /// could read, and waking the window for each one would slow the test down.
    static constexpr int refreshMilliseconds = 100;

    explicit RunProgressDialog(QWidget *parent);
    ~RunProgressDialog() override;

    /// Opens the dialog window-modally (it returns at once) and follows the log until end().
    void begin();
    /// Stops following the log and closes the dialog with result 0.
    void end();

private:
    /// Called on the thread that logs, for every line.
    void note(Logger::Level level, const QString &text);
    void refresh();
    void clear();

    QLabel *label; // owned by the dialog
    QProgressBar *bar; // owned by the dialog
    QTimer *refreshTimer; // child of the dialog
    QMetaObject::Connection following;

    /// The lines that matter, as last logged; written on the worker thread, read on the window's.
    QMutex lock;
    QString running; // "Running PSS test"
    QString phase; // "Access test"
    QString step; // "Test 42% 1234/2901 com.example.Foo"
};
