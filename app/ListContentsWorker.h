#pragma once

#include "base/Classpath.h"
#include "base/Worker.h"

#include <QString>

/// Lists the classes of a classpath on standard output from its worker thread (the listcontents
/// command): one line per loaded class, in the order of the chain's class map.
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
