#include "conformance/SegmentTestWorker.h"

#include "base/Logger.h"

#include <utility>

SegmentTestWorker::SegmentTestWorker(const QString &startLine, Recipe recipe, QObject *parent)
    : Worker(parent)
    , startLine(startLine)
    , recipe(std::move(recipe))
{
    // The outcome crosses from the worker thread to its owner's in a queued connection.
    qRegisterMetaType<std::shared_ptr<const Tests::Outcome>>();
}

void SegmentTestWorker::doWork()
{
    logLine(Logger::L_INFO, startLine);
    recipe([this](const Tests::Outcome &outcome) {
        emit reported(std::make_shared<const Tests::Outcome>(outcome));
    });
}
