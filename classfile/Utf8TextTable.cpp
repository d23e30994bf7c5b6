#include "classfile/Utf8TextTable.h"

#include <cstring>
#include <functional>

namespace {

const size_t firstSlots = 1024;

} // namespace

QString Utf8TextTable::get(std::string_view bytes)
{
    if (bytes.size() > size_t(longestShared))
        return QString::fromUtf8(bytes.data(), int(bytes.size()));
    const auto hash = quint32(std::hash<std::string_view>()(bytes));
    if (slots.empty())
        slots.resize(firstSlots);
    Slot *slot = &find(bytes, hash);
    if (slot->length >= 0)
        return slot->text;
    if (size_t(used + 1) * 2 > slots.size()) {
        grow();
        slot = &find(bytes, hash);
    }
    slot->hash = hash;
    slot->offset = quint32(keys.size());
    slot->length = int(bytes.size());
    slot->text = QString::fromUtf8(bytes.data(), int(bytes.size()));
    keys.insert(keys.end(), bytes.begin(), bytes.end());
    ++used;
    return slot->text;
}

// The slot holding `bytes`, or the empty slot where they belong; there is always one, the table
// being at most half full.
Utf8TextTable::Slot &Utf8TextTable::find(std::string_view bytes, quint32 hash)
{
    const size_t mask = slots.size() - 1;
    for (size_t i = hash & mask;; i = (i + 1) & mask) {
        Slot &slot = slots[i];
        if (slot.length < 0)
            return slot;
        // The empty text has no bytes to compare, and may have no address either.
        if (slot.hash == hash && size_t(slot.length) == bytes.size()
            && (bytes.empty()
                || std::memcmp(keys.data() + slot.offset, bytes.data(), bytes.size()) == 0))
            return slot;
    }
}

// Doubles the slots up to room for the most texts; past that the table starts over with as many
// slots, since it fills up again as fast: shrinking them would only double them all over again.
void Utf8TextTable::grow()
{
    if (slots.size() >= size_t(mostTexts) * 2) {
        slots.assign(slots.size(), Slot());
        keys.clear();
        used = 0;
        return;
    }
    std::vector<Slot> old(slots.size() * 2);
    old.swap(slots);
    const size_t mask = slots.size() - 1;
    for (Slot &slot : old) {
        if (slot.length < 0)
            continue;
        size_t i = slot.hash & mask;
        while (slots[i].length >= 0)
            i = (i + 1) & mask;
        slots[i] = std::move(slot);
    }
}
