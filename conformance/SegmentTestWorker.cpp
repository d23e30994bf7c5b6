#include "conformance/SegmentTestWorker.h"

SegmentTestWorker::SegmentTestWorker(QObject *parent)
    : Worker(parent)
{
    // The outcome crosses from the worker thread to its owner's in a queued connection.
    qRegisterMetaType<std::shared_ptr<const Tests::Outcome>>();
}

Tests::OutcomeHandler SegmentTestWorker::reporter()
{
    return [this](const Tests::Outcome &outcome) {
        emit reported(std::make_shared<const Tests::Outcome>(outcome));
    };
}
