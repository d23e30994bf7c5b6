#pragma once

#include "goldformat/GoldRecords.h"
#include "support/ProcessRunner.h"

#include <QString>
#include <gtest/gtest.h>

/// Small helpers shared by the gold-building tests.
namespace GoldTestSupport {

/// The gold file as golddump prints it.
inline QByteArray dump(const QString &gold)
{
    const ProcessRunner::Result result = ProcessRunner(JCT_GOLDDUMP_BINARY).run({ gold });
    EXPECT_EQ(result.exitCode, 0) << result.err.toStdString();
    return result.out;
}

} // namespace GoldTestSupport
