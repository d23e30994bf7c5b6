#pragma once

#include "app/Worker.h"
#include "loader/Classpath.h"

#include <QString>

/// Runs the TSS Abstraction Interface test recipe on its worker thread (the testtssabsiface
/// command). Placeholder until the real job lands: it logs its first line and returns.
class TssAbsIfaceTestWorker : public Worker
{
    Q_OBJECT
public:
    TssAbsIfaceTestWorker(const Classpath &test,
                          const Classpath &framework,
                          QObject *parent = nullptr);

protected:
    void doWork() override;

private:
    Classpath test;
    Classpath framework;
};
