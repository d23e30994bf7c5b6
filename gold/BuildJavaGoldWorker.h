#pragma once

#include "app/Worker.h"
#include "loader/Classpath.h"

#include <QString>

/// Builds a gold file from a classpath on its worker thread (the buildjavagold command).
/// Placeholder until the real job lands: it logs its first line and returns.
class BuildJavaGoldWorker : public Worker
{
    Q_OBJECT
public:
    BuildJavaGoldWorker(const Classpath &classpath,
                        const QString &goldFile,
                        QObject *parent = nullptr);

protected:
    void doWork() override;

private:
    Classpath classpath;
    QString goldFile;
};
