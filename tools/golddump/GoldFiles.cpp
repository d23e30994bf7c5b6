#include "GoldFiles.h"

#include <google/protobuf/io/coded_stream.h>
#include <google/protobuf/io/zero_copy_stream_impl.h>

#include <fstream>

namespace GoldFiles {
namespace {

using google::protobuf::FieldDescriptor;
using google::protobuf::Message;
using google::protobuf::Reflection;

constexpr int maxGoldFileBytes = 64 << 20;

std::string quoted(const std::string &text)
{
    std::string out = "\"";
    for (const char c : text) {
        const unsigned char u = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (u < 0x20 || u >= 0x7f) {
            static const char hex[] = "0123456789abcdef";
            out += "\\x";
            out += hex[u >> 4];
            out += hex[u & 15];
        } else {
            out += c;
        }
    }
    return out + "\"";
}

std::string scalar(const Message &message, const FieldDescriptor *field, int index)
{
    const Reflection *r = message.GetReflection();
    const bool repeated = field->is_repeated();
    switch (field->cpp_type()) {
    case FieldDescriptor::CPPTYPE_STRING:
        return quoted(repeated ? r->GetRepeatedString(message, field, index)
                               : r->GetString(message, field));
    case FieldDescriptor::CPPTYPE_BOOL:
        return (repeated ? r->GetRepeatedBool(message, field, index) : r->GetBool(message, field))
            ? "true"
            : "false";
    case FieldDescriptor::CPPTYPE_INT32:
        return std::to_string(repeated ? r->GetRepeatedInt32(message, field, index)
                                       : r->GetInt32(message, field));
    case FieldDescriptor::CPPTYPE_ENUM:
        return (repeated ? r->GetRepeatedEnum(message, field, index) : r->GetEnum(message, field))
            ->name();
    default:
        return "?";
    }
}

std::string value(const Message &message, const FieldDescriptor *field)
{
    const Reflection *r = message.GetReflection();
    if (!field->is_repeated())
        return r->HasField(message, field) ? scalar(message, field, 0) : "(absent)";
    std::string list = "[";
    for (int i = 0; i < r->FieldSize(message, field); ++i)
        list += (i ? ", " : "") + scalar(message, field, i);
    return list + "]";
}

/// One record: its scalar fields on one line (name first), then its nested records indented.
void printRecord(const Message &message, const std::string &indent, std::ostream &out)
{
    const google::protobuf::Descriptor *type = message.GetDescriptor();
    out << indent << type->name();
    if (const FieldDescriptor *name = type->FindFieldByName("name"))
        out << ' ' << name->name() << '=' << value(message, name);
    for (int i = 0; i < type->field_count(); ++i) {
        const FieldDescriptor *field = type->field(i);
        if (field->name() != "name" && field->cpp_type() != FieldDescriptor::CPPTYPE_MESSAGE)
            out << ' ' << field->name() << '=' << value(message, field);
    }
    const int unknown = message.GetReflection()->GetUnknownFields(message).field_count();
    if (unknown > 0)
        out << " unknown_fields=" << unknown;
    out << '\n';
    for (int i = 0; i < type->field_count(); ++i) {
        const FieldDescriptor *field = type->field(i);
        if (field->cpp_type() != FieldDescriptor::CPPTYPE_MESSAGE)
            continue;
        const Reflection *r = message.GetReflection();
        for (int j = 0; j < r->FieldSize(message, field); ++j)
            printRecord(r->GetRepeatedMessage(message, field, j), indent + "  ", out);
    }
}

} // namespace

bool read(const std::string &path, JClasses &classes, std::string &error)
{
    std::ifstream stream(path, std::ios::in | std::ios::binary);
    if (!stream.is_open()) {
        error = "cannot open " + path;
        return false;
    }
    google::protobuf::io::IstreamInputStream input(&stream);
    google::protobuf::io::CodedInputStream coded(&input);
    coded.SetTotalBytesLimit(maxGoldFileBytes);
    if (!classes.ParseFromCodedStream(&coded) || !coded.ConsumedEntireMessage() || stream.bad()) {
        error = "cannot parse " + path + " as a gold file";
        return false;
    }
    return true;
}

bool write(const std::string &path, const JClasses &classes, std::string &error)
{
    std::ofstream stream(path, std::ios::out | std::ios::binary | std::ios::trunc);
    if (!stream.is_open() || !classes.SerializePartialToOstream(&stream) || !stream.flush()) {
        error = "cannot write " + path;
        return false;
    }
    return true;
}

void print(const JClasses &classes, std::ostream &out)
{
    out << "JClasses classes=" << classes.classes_size() << '\n';
    for (const JClass &record : classes.classes())
        printRecord(record, "", out);
}

} // namespace GoldFiles
