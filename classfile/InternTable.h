#pragma once

#include <QHash>
#include <QString>

/// Values made once per distinct text, for one thread: descriptors and signatures repeat from
/// class to class, and a value found here costs a reference count instead of a parse and its
/// allocations. The values must be safe to share between threads (atomic reference counts),
/// since classes read on one thread are tested on another.
///
/// What the table holds outlives the classes it was made for, so it is bounded in both ways: a
/// few thousand values, enough for the descriptors a component names over and over, and starting
/// over when full; and short texts only, so that no input keeps long ones alive.
template<typename Value> class InternTable
{
public:
    template<typename Make> Value get(const QString &text, const Make &make)
    {
        if (text.size() > longestHeld)
            return make();
        const auto found = table.constFind(text);
        if (found != table.cend())
            return found.value();
        // Made before the insertion: making a value may itself look up this table.
        Value value = make();
        if (table.size() >= limit)
            table.clear();
        table.insert(text, value);
        return value;
    }

private:
    static constexpr int limit = 1 << 12;
    static constexpr int longestHeld = 128;
    QHash<QString, Value> table;
};
