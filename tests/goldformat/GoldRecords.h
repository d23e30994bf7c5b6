#pragma once

#include "JavaTypes.pb.h"
#include "goldformat/ProtoIO.h"

#include <QString>

#include <memory>
#include <string>

/// Gold files read back into records, for the tests of the format and of the layers that build it.
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

} // namespace GoldTestSupport
