#pragma once

#include <QObject>
#include <QThread>

/// Base of every background job: owns its thread, runs doWork() there when work() is invoked
/// through a queued connection, and always signals done() afterwards.
class Worker : public QObject
{
    Q_OBJECT
public:
    /// parent must be null: an object with a parent cannot move to another thread.
    explicit Worker(QObject *parent);
    ~Worker() override;

signals:
    void done();

public slots:
    void work();

protected:
    virtual void doWork() = 0;

private:
    QThread thread;
};
