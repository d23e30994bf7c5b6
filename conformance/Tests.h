#pragma once

#include "loader/Classpath.h"

#include <QString>

/// The segment test recipes: each decides which gold files the component must provide and which
/// APIs it may use, runs the interface and/or access test and stores the result tree.
/// Each returns 0; the profile comes from Options::opts.
namespace Tests {
int oss(const Classpath &test);
int tss(const Classpath &test, const QString &tssGold, const Classpath &framework);
int tssabs(const Classpath &test, const QString &tssGold, const Classpath &framework);
int tssabsiface(const Classpath &test, const Classpath &framework);
int ios(const Classpath &test, const Classpath &framework);
int pss(const Classpath &test, const QString &tssGold, const Classpath &framework);
int pcs(const Classpath &test, const QString &tssGold, const Classpath &framework);
} // namespace Tests
