#pragma once

#include "app/Worker.h"
#include "loader/Classpath.h"

#include <QString>

/// Runs the IOS test recipe on its worker thread (the testios command).
/// Placeholder until the real job lands: it logs its first line and returns.
class IosTestWorker : public Worker
{
    Q_OBJECT
public:
    IosTestWorker(const Classpath &test, const Classpath &framework, QObject *parent = nullptr);

protected:
    void doWork() override;

private:
    Classpath test;
    Classpath framework;
};
