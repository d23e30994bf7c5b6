#pragma once

#include "TestResult.pb.h"
#include "base/AcceptedFindings.h"
#include "report/RunDescription.h"

#include <QByteArray>
#include <QString>

class Findings;

/// Writes a result tree as JUnit XML, the form CI servers read: one test suite per top group of
/// the tree (interface, access, input), one test case per class group (a reference class of the
/// interface test, a component class of the access test) or per result directly in a top group
/// (an input not read). A case with a FAIL result fails with the FAIL texts; one with only
/// INSPECT results is skipped with their reasons. A result the integrator accepted neither fails
/// nor skips its case; a case with accepted results only is skipped with the reason of the first
/// as its message. Findings carry their causes. Each suite names the run in its properties (test,
/// profile, classpaths, gold files with their SHA-256, version, date, classes checked, command
/// line). The recipes write it beside results.txt, the same way.
class JUnitReport
{
public:
    /// The report as text.
    static QByteArray toXml(const TestResultGroup &root,
                            const Findings &findings,
                            const RunDescription &run,
                            const AcceptedFindings &accepted = AcceptedFindings());
};
