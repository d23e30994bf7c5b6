#pragma once

#include <QByteArray>
#include <ostream>

/// The text form of a report (a serialised result tree), written straight from its bytes without
/// building the tree: whatever its size and shape, a report costs no memory beyond its bytes and
/// the nesting of the walk. The bytes are read as the protobuf runtime reads them (the last value
/// of a field wins, an enumeration value it does not know is passed over, unknown fields are
/// skipped, at most 100 levels of nested messages), so the text is the one the tester wrote into
/// its results.txt.
class ReportText
{
public:
    /// Writes the text form of message; false, with the text cut short, when message is not a
    /// valid result tree.
    static bool write(const QByteArray &message, std::ostream &out);
};
