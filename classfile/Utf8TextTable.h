#pragma once

#include <QString>

#include <string_view>
#include <vector>

/// The decoded texts of short constant-pool strings, by their bytes, for one thread. Names and
/// descriptors repeat from class to class ("Code", "()V", "java/lang/Object"): the classes read
/// on one thread share one copy of each, which roughly halves what a component's parsed pools
/// take, and a text met again costs a lookup instead of a decoding. Open addressing over one
/// block of slots and one of key bytes: a lookup touches a slot and its key, not a chain of nodes.
/// Bounded: starts over when full.
class Utf8TextTable
{
public:
    static constexpr int longestShared = 128;
    static constexpr int mostTexts = 1 << 16;

    /// The text of `bytes` as modified UTF-8, shared while the table holds it; longer texts are
    /// decoded each time.
    QString get(std::string_view bytes);

private:
    struct Slot
    {
        quint32 hash = 0;
        quint32 offset = 0;
        /// -1 for an empty slot.
        int length = -1;
        QString text;
    };

    Slot &find(std::string_view bytes, quint32 hash);
    void grow();

    /// A power of two, at most half full.
    std::vector<Slot> slots;
    std::vector<char> keys;
    int used = 0;
};
