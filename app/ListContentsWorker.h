#pragma once

#include "app/Worker.h"
#include "loader/Classpath.h"

#include <QString>

/// Lists the classes of a classpath on standard output from its worker thread (the listcontents
/// command). Placeholder until the real job lands: it logs its first line and returns.
class ListContentsWorker : public Worker
{
    Q_OBJECT
public:
    ListContentsWorker(const Classpath &classpath, QObject *parent = nullptr);

protected:
    void doWork() override;

private:
    Classpath classpath;
};
