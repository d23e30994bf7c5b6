#include "report/RunOutputs.h"

#include "base/Logger.h"

#include <QFileInfo>

namespace {

RunOutputs::File fileOf(const QString &label, const ResultsFile &file)
{
    return { label,
             QFileInfo(file.getPath()).absoluteFilePath(),
             file.isWritten(),
             file.isEarlierRunsFile() };
}

} // namespace

RunOutputs::RunOutputs(const QString &logDir)
    : text(logDir + "/results.txt")
    , junit(logDir + "/results.xml")
    , page(logDir + "/results.html")
    , logPath(logDir + "/log.txt")
{
}

QList<RunOutputs::File> RunOutputs::getFiles() const
{
    // Lines still waiting for their batch may be the ones that do not fit.
    Logger::logger->flush();
    return { fileOf("Results file", text),
             fileOf("JUnit XML", junit),
             fileOf("Results page", page),
             { "Log file",
               QFileInfo(logPath).absoluteFilePath(),
               Logger::logger->isFileWritten(),
               false } };
}
