#include "conformance/SegmentTestWorker.h"

#include "base/Logger.h"

SegmentTestWorker::SegmentTestWorker(const Segment &segment,
                                     const SegmentInputs &inputs,
                                     QObject *parent)
    : Worker(parent)
    , segment(segment)
    , inputs(inputs)
{
    // The outcome crosses from the worker thread to its owner's in a queued connection.
    qRegisterMetaType<std::shared_ptr<const Tests::Outcome>>();
}

void SegmentTestWorker::doWork()
{
    logLine(Logger::L_INFO, segment.logLine);
    segment.recipe(inputs, [this](const Tests::Outcome &outcome) {
        emit reported(std::make_shared<const Tests::Outcome>(outcome));
    });
}
