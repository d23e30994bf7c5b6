#pragma once

#include "JavaTypes.pb.h"
#include "goldformat/ProtoIO.h"

#include <QString>
#include <gtest/gtest.h>

#include <memory>
#include <string>

/// Gold files read back into records, for the tests of the format and of the layers that build it.
namespace GoldTestSupport {

inline std::unique_ptr<JClasses> readGold(const QString &path)
{
    ProtoIO::Read read = ProtoIO::read(path);
    EXPECT_TRUE(read.classes) << read.problem.toStdString();
    return std::move(read.classes);
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

} // namespace GoldTestSupport
