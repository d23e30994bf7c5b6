#pragma once

#include <QObject>
#include <memory>

class Worker;

/// The console-mode driver: starts the worker of the command in Options::opts and quits the
/// event loop once that worker is done.
class CLI : public QObject
{
    Q_OBJECT
public:
    explicit CLI(QObject *parent = nullptr);
    ~CLI() override;

signals:
    void run();

public slots:
    /// Called from the event loop by a zero-delay timer, so the worker's log lines find a running
    /// loop.
    void begin();
    void end();

private:
    /// The running command's worker, owned here (its job runs in its own thread); null when none
    /// runs.
    std::unique_ptr<Worker> worker;
};
