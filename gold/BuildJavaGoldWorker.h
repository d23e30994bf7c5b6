#pragma once

#include "base/Classpath.h"
#include "base/Worker.h"

#include <QString>

/// Builds a gold file from a classpath on its worker thread (the buildjavagold command).
class BuildJavaGoldWorker : public Worker
{
    Q_OBJECT
public:
    BuildJavaGoldWorker(const Classpath &classpath,
                        const QString &goldFile,
                        QObject *parent = nullptr);

protected:
    /// Any failure has already been logged where it happened; it is logged once more here and the
    /// command ends normally.
    void doWork() override;

private:
    const Classpath classpath;
    const QString goldFile;
};
