#include "conformance/Segment.h"

#include "conformance/IosTestWorker.h"
#include "conformance/OssTestWorker.h"
#include "conformance/PcsTestWorker.h"
#include "conformance/PssTestWorker.h"
#include "conformance/SegmentTestWorker.h"
#include "conformance/TssAbsIfaceTestWorker.h"
#include "conformance/TssAbsTestWorker.h"
#include "conformance/TssTestWorker.h"

#include <QtGlobal>

namespace {

using Inputs = SegmentInputs;
using Handler = Tests::OutcomeHandler;

// The command codes are those of the command options, in the order the help lists them; the
// ones after the last segment are the gold building and the listing.
QList<Segment> segmentTable()
{
    return {
        { 1,
          "testpcs",
          "Test a PCS.",
          "PCS",
          true,
          [](const Inputs &in, const Handler &h) {
              return Tests::pcs(in.test, in.tssGold, in.framework, h);
          },
          "Running PCS test",
          &SegmentTestWorker::make<PcsTestWorker> },
        { 2,
          "testpss",
          "Test a PSS.",
          "PSS",
          true,
          [](const Inputs &in, const Handler &h) {
              return Tests::pss(in.test, in.tssGold, in.framework, h);
          },
          "Running PSS test",
          &SegmentTestWorker::make<PssTestWorker> },
        { 3,
          "testoss",
          "Test a OSS.",
          "OSS",
          false,
          [](const Inputs &in, const Handler &h) { return Tests::oss(in.test, h); },
          "Running OSS test",
          &SegmentTestWorker::make<OssTestWorker> },
        { 4,
          "testtss",
          "Test a TSS.",
          "TSS",
          true,
          [](const Inputs &in, const Handler &h) {
              return Tests::tss(in.test, in.tssGold, in.framework, h);
          },
          "Running TSS test",
          &SegmentTestWorker::make<TssTestWorker> },
        { 5,
          "testtssabs",
          "Test a TSS with Abstraction Layer.",
          "TSSABS",
          true,
          [](const Inputs &in, const Handler &h) {
              return Tests::tssabs(in.test, in.tssGold, in.framework, h);
          },
          "Running TSS with Type Abstraction test",
          &SegmentTestWorker::make<TssAbsTestWorker> },
        { 6,
          "testtssabsiface",
          "Test a TSS Abstraction Interface.",
          "TSSABSIFACE",
          false,
          [](const Inputs &in, const Handler &h) {
              return Tests::tssabsiface(in.test, in.framework, h);
          },
          "Running TSS Abstraction Interface test",
          &SegmentTestWorker::make<TssAbsIfaceTestWorker> },
        { 7,
          "testios",
          "Test a IOS.",
          "IOS",
          false,
          [](const Inputs &in, const Handler &h) { return Tests::ios(in.test, in.framework, h); },
          "Running IOS test",
          &SegmentTestWorker::make<IosTestWorker> },
    };
}

} // namespace

std::unique_ptr<SegmentTestWorker> Segment::createWorker(const SegmentInputs &inputs) const
{
    return worker ? worker(inputs) : std::make_unique<SegmentTestWorker>(*this, inputs);
}

const QList<Segment> &Segment::all()
{
    // Built on first use, so that no order of static initialization can find it empty.
    static const QList<Segment> table = segmentTable();
    return table;
}

const Segment *Segment::forCommand(int command)
{
    for (const Segment &segment : all()) {
        if (segment.command == command)
            return &segment;
    }
    return nullptr;
}

const Segment &Segment::ofWorker(WorkerFactory worker)
{
    for (const Segment &segment : all()) {
        if (segment.worker == worker)
            return segment;
    }
    qFatal("A segment worker without its row in the segment table");
}
