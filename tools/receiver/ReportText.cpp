#include "tools/receiver/ReportText.h"

#include "TestResult.pb.h"
#include "report/ResultsTextWriter.h"

#include <google/protobuf/io/coded_stream.h>
#include <google/protobuf/wire_format_lite.h>

#include <functional>
#include <string_view>

namespace {

using google::protobuf::internal::WireFormatLite;
using google::protobuf::io::CodedInputStream;

// The protobuf runtime's default limit on nested messages.
constexpr int maxNesting = 100;

/// The bytes of one message or text of the tree.
struct Span
{
    const uint8_t *data;
    int size;

    std::string_view text() const { return { reinterpret_cast<const char *>(data), size_t(size) }; }
};

/// What a walk does with a length-delimited field; false ends the walk as invalid.
using FieldVisitor = std::function<bool(int number, Span field)>;
/// What a walk does with a varint field.
using VarintVisitor = std::function<void(int number, uint32_t value)>;

/// One pass over the fields of a message: length-delimited and varint fields go to the visitors,
/// every other field is skipped. False when the bytes are no valid message.
bool walk(Span message, const FieldVisitor &onField, const VarintVisitor &onVarint = {})
{
    CodedInputStream input(message.data, message.size);
    while (const uint32_t tag = input.ReadTag()) {
        const int number = WireFormatLite::GetTagFieldNumber(tag);
        const WireFormatLite::WireType type = WireFormatLite::GetTagWireType(tag);
        if (number == 0)
            return false;
        if (type == WireFormatLite::WIRETYPE_LENGTH_DELIMITED) {
            uint32_t length = 0;
            if (!input.ReadVarint32(&length)
                || length > uint32_t(message.size - input.CurrentPosition()))
                return false;
            const Span field { message.data + input.CurrentPosition(), int(length) };
            input.Skip(int(length));
            if (!onField(number, field))
                return false;
        } else if (type == WireFormatLite::WIRETYPE_VARINT && onVarint) {
            uint64_t value = 0;
            if (!input.ReadVarint64(&value))
                return false;
            // As the runtime does for enumerations: the low 32 bits.
            onVarint(number, uint32_t(value));
        } else if (!WireFormatLite::SkipField(&input, tag)) {
            return false;
        }
    }
    return input.ConsumedEntireMessage();
}

/// Walks a tree: a group's own fields first for its header, then its results, then its subgroups,
/// each nested message one level deeper.
class TreeWalk
{
public:
    explicit TreeWalk(std::ostream &out)
        : text(out)
    {
    }

    // TestResultGroup: 1 name, 2 subgroup, 3 results
    bool group(Span message, int level)
    {
        if (level > maxNesting)
            return false;
        std::string_view name;
        const bool valid = walk(message, [&](int number, Span field) {
            if (number == 1)
                name = field.text();
            return true;
        });
        if (!valid)
            return false;
        text.group(level, name);
        return walk(message,
                    [&](int number, Span field) { return number != 3 || result(field, level); })
            && walk(message,
                    [&](int number, Span field) { return number != 2 || group(field, level + 1); });
    }

private:
    // TestResult: 1 name, 2 score, 3 logs, 4 description
    bool result(Span message, int depth)
    {
        if (depth + 1 > maxNesting)
            return false;
        std::string_view name;
        std::string_view description;
        TestScore score = R_PASS;
        const bool valid = walk(
            message,
            [&](int number, Span field) {
                if (number == 1)
                    name = field.text();
                else if (number == 4)
                    description = field.text();
                return true;
            },
            [&](int number, uint32_t value) {
                if (number == 2 && TestScore_IsValid(int(value)))
                    score = TestScore(value);
            });
        if (!valid)
            return false;
        text.result(depth, name, score);
        text.description(depth, description);
        if (!walk(message,
                  [&](int number, Span field) { return number != 3 || logEntry(field, depth); }))
            return false;
        text.endResult();
        return true;
    }

    // LogEntry: 1 level, 2 text
    bool logEntry(Span message, int depth)
    {
        if (depth + 2 > maxNesting)
            return false;
        std::string_view line;
        LogLevel level = L_WARNING;
        const bool valid = walk(
            message,
            [&](int number, Span field) {
                if (number == 2)
                    line = field.text();
                return true;
            },
            [&](int number, uint32_t value) {
                if (number == 1 && LogLevel_IsValid(int(value)))
                    level = LogLevel(value);
            });
        if (valid)
            text.log(depth, level, line);
        return valid;
    }

    ResultsTextWriter text;
};

} // namespace

bool ReportText::write(const QByteArray &message, std::ostream &out)
{
    const Span root { reinterpret_cast<const uint8_t *>(message.constData()), message.size() };
    return TreeWalk(out).group(root, 0);
}
