#pragma once

#include "JavaTypes.pb.h"
#include "gold/ProtoIO.h"
#include "support/ProcessRunner.h"

#include <QString>
#include <gtest/gtest.h>

#include <memory>
#include <string>

/// Small helpers shared by the gold-building tests.
namespace GoldTestSupport {

inline std::unique_ptr<JClasses> readGold(const QString &path)
{
    JClasses *raw = nullptr;
    ProtoIO::read(raw, path);
    return std::unique_ptr<JClasses>(raw);
}

/// The first record of that name, or null.
inline const JClass *findRecord(const JClasses &root, const std::string &name)
{
    for (const JClass &record : root.classes()) {
        if (record.name() == name)
            return &record;
    }
    return nullptr;
}

/// The gold file as golddump prints it.
inline QByteArray dump(const QString &gold)
{
    const ProcessRunner::Result result = ProcessRunner(JCT_GOLDDUMP_BINARY).run({ gold });
    EXPECT_EQ(result.exitCode, 0) << result.err.toStdString();
    return result.out;
}

} // namespace GoldTestSupport
