#pragma once

#include "JavaTypes.pb.h"
#include "gold/ProtoIO.h"

#include <QString>

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

/// The first method record of that name, or null.
inline const JMethod *findMethod(const JClass &record, const std::string &name)
{
    for (const JMethod &method : record.methods()) {
        if (method.name() == name)
            return &method;
    }
    return nullptr;
}

} // namespace GoldTestSupport
