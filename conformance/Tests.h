#pragma once

#include "base/Classpath.h"
#include "report/Findings.h"
#include "report/RunOutputs.h"

#include <QString>

#include <functional>

/// The segment test recipes: each decides which gold files the component must provide and which
/// APIs it may use, runs the interface and/or access test and stores the result tree.
/// Each returns 0; the profile comes from Options::opts.
namespace Tests {

/// What a run found, handed to whoever started it once the run's files are written.
struct Outcome
{
    QString title; // "PSS test"
    Findings findings;
    QString frameworkHint; // empty when it does not apply
    QList<RunOutputs::File> files; // with whether the run wrote each
};

/// Called on the run's thread, also when a test was cut short by an exception.
using OutcomeHandler = std::function<void(const Outcome &outcome)>;

int oss(const Classpath &test, const OutcomeHandler &onOutcome = {});
int tss(const Classpath &test,
        const QString &tssGold,
        const Classpath &framework,
        const OutcomeHandler &onOutcome = {});
int tssabs(const Classpath &test,
           const QString &tssGold,
           const Classpath &framework,
           const OutcomeHandler &onOutcome = {});
int tssabsiface(const Classpath &test,
                const Classpath &framework,
                const OutcomeHandler &onOutcome = {});
int ios(const Classpath &test, const Classpath &framework, const OutcomeHandler &onOutcome = {});
int pss(const Classpath &test,
        const QString &tssGold,
        const Classpath &framework,
        const OutcomeHandler &onOutcome = {});
int pcs(const Classpath &test,
        const QString &tssGold,
        const Classpath &framework,
        const OutcomeHandler &onOutcome = {});
} // namespace Tests
