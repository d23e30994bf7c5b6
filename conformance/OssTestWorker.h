#pragma once

#include "app/Worker.h"
#include "loader/Classpath.h"

#include <QString>

/// Runs the OSS test recipe on its worker thread (the testoss command).
/// Placeholder until the real job lands: it logs its first line and returns.
class OssTestWorker : public Worker
{
    Q_OBJECT
public:
    OssTestWorker(const Classpath &test, QObject *parent = nullptr);

protected:
    void doWork() override;

private:
    Classpath test;
};
