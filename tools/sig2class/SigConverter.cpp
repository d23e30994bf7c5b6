#include "SigConverter.h"

#include <set>
#include <stdexcept>

namespace SigConverter {
namespace {

constexpr std::uint16_t ACC_STATIC = 0x0008;
constexpr std::uint16_t ACC_NATIVE = 0x0100;
constexpr std::uint16_t ACC_ABSTRACT = 0x0400;
constexpr std::uint16_t JAVA8_MAJOR = 52;

// The attributes a Java 8 class-file reader knows and that a signature file may carry; every other
// one (module and nest data of later releases) would only be reported as unknown.
const std::set<std::string> &keptAttributes()
{
    static const std::set<std::string> names = { "ConstantValue",
                                                 "Exceptions",
                                                 "Signature",
                                                 "Deprecated",
                                                 "Synthetic",
                                                 "InnerClasses",
                                                 "EnclosingMethod",
                                                 "MethodParameters",
                                                 "AnnotationDefault",
                                                 "RuntimeVisibleAnnotations",
                                                 "RuntimeInvisibleAnnotations",
                                                 "RuntimeVisibleParameterAnnotations",
                                                 "RuntimeInvisibleParameterAnnotations",
                                                 "RuntimeVisibleTypeAnnotations",
                                                 "RuntimeInvisibleTypeAnnotations" };
    return names;
}

struct BadSignatureFile : std::runtime_error
{
    using std::runtime_error::runtime_error;
};

/// Bounded big-endian reader over the input: every read checks what remains first.
class Cursor
{
public:
    explicit Cursor(const Bytes &bytes)
        : bytes(bytes)
    {
    }

    std::size_t position() const { return offset; }
    std::uint8_t u1() { return take(1)[0]; }
    std::uint16_t u2()
    {
        const std::uint8_t *p = take(2);
        return std::uint16_t((p[0] << 8) | p[1]);
    }
    std::uint32_t u4()
    {
        const std::uint8_t *p = take(4);
        return (std::uint32_t(p[0]) << 24) | (std::uint32_t(p[1]) << 16)
            | (std::uint32_t(p[2]) << 8) | p[3];
    }
    const std::uint8_t *take(std::size_t count)
    {
        if (count > bytes.size() - offset)
            throw BadSignatureFile("truncated at offset " + std::to_string(offset));
        const std::uint8_t *p = bytes.data() + offset;
        offset += count;
        return p;
    }

private:
    const Bytes &bytes;
    std::size_t offset = 0;
};

class Writer
{
public:
    Bytes out;

    void u1(std::uint8_t v) { out.push_back(v); }
    void u2(std::uint16_t v)
    {
        u1(std::uint8_t(v >> 8));
        u1(std::uint8_t(v));
    }
    void u4(std::uint32_t v)
    {
        u2(std::uint16_t(v >> 16));
        u2(std::uint16_t(v));
    }
    void bytes(const std::uint8_t *p, std::size_t n) { out.insert(out.end(), p, p + n); }
};

/// The constant pool as read: Utf8 texts by index, and the raw bytes to copy unchanged.
struct ConstantPool
{
    std::uint16_t count = 0; // u2 constant_pool_count as in the file
    std::vector<std::string> utf8; // by index; empty for other kinds
    std::vector<std::uint8_t> tags;
    std::vector<std::uint16_t> classNames; // by index: the name_index of a Class entry

    const std::string &text(std::uint16_t index) const
    {
        if (index == 0 || index >= count || tags[index] != 1)
            throw BadSignatureFile("index " + std::to_string(index) + " is no Utf8 entry");
        return utf8[index];
    }
    std::uint16_t indexOf(const std::string &value) const
    {
        for (std::uint16_t i = 1; i < count; ++i) {
            if (tags[i] == 1 && utf8[i] == value)
                return i;
        }
        return 0;
    }
};

std::size_t entrySize(std::uint8_t tag, Cursor &in)
{
    switch (tag) {
    case 1: // u2 length, bytes
        return in.u2();
    case 3: // Integer
    case 4: // Float
    case 9: // Fieldref
    case 10: // Methodref
    case 11: // InterfaceMethodref
    case 12: // NameAndType
    case 18: // InvokeDynamic
        return 4;
    case 5: // Long
    case 6: // Double
        return 8;
    case 7: // Class
    case 8: // String
    case 16: // MethodType
        return 2;
    case 15: // MethodHandle
        return 3;
    default:
        throw BadSignatureFile("constant pool tag " + std::to_string(tag)
                               + " has no Java 8 meaning");
    }
}

ConstantPool readPool(Cursor &in)
{
    ConstantPool pool;
    pool.count = in.u2(); // u2 constant_pool_count
    if (pool.count < 2)
        throw BadSignatureFile("empty constant pool");
    pool.utf8.resize(pool.count);
    pool.tags.resize(pool.count);
    pool.classNames.resize(pool.count);
    for (std::uint32_t i = 1; i < pool.count; ++i) {
        const std::uint8_t tag = in.u1();
        pool.tags[i] = tag;
        const std::size_t size = entrySize(tag, in);
        const std::uint8_t *body = in.take(size);
        if (tag == 1)
            pool.utf8[i] = std::string(body, body + size);
        if (tag == 7)
            pool.classNames[i] = std::uint16_t((body[0] << 8) | body[1]);
        if (tag == 5 || tag == 6)
            ++i; // a Long or Double takes two indices
    }
    return pool;
}

/// Copies one attribute table, leaving out the attributes a Java 8 reader does not know.
void copyAttributes(Cursor &in,
                    const ConstantPool &pool,
                    Writer &out,
                    bool addCode,
                    std::uint16_t codeIndex,
                    const Bytes &codeBody)
{
    const std::uint16_t count = in.u2(); // u2 attributes_count
    Writer kept;
    std::uint16_t keptCount = 0;
    for (std::uint16_t i = 0; i < count; ++i) {
        const std::uint16_t nameIndex = in.u2(); // u2 attribute_name_index
        const std::uint32_t length = in.u4(); // u4 attribute_length
        const std::uint8_t *body = in.take(length);
        const std::string &name = pool.text(nameIndex);
        if (name == "Code")
            addCode = false; // already has a body
        if (!keptAttributes().count(name) && name != "Code")
            continue;
        kept.u2(nameIndex);
        kept.u4(length);
        kept.bytes(body, length);
        ++keptCount;
    }
    if (addCode) {
        kept.u2(codeIndex);
        kept.u4(std::uint32_t(codeBody.size()));
        kept.bytes(codeBody.data(), codeBody.size());
        ++keptCount;
    }
    out.u2(keptCount);
    out.bytes(kept.out.data(), kept.out.size());
}

/// Local variable slots the parameters of a method descriptor take.
std::uint16_t parameterSlots(const std::string &descriptor)
{
    if (descriptor.empty() || descriptor[0] != '(')
        throw BadSignatureFile("bad method descriptor " + descriptor);
    std::uint32_t slots = 0;
    std::size_t i = 1;
    while (i < descriptor.size() && descriptor[i] != ')') {
        const char c = descriptor[i];
        if (c == 'J' || c == 'D') {
            slots += 2;
            ++i;
            continue;
        }
        while (i < descriptor.size() && descriptor[i] == '[')
            ++i;
        if (i < descriptor.size() && descriptor[i] == 'L') {
            const std::size_t end = descriptor.find(';', i);
            if (end == std::string::npos)
                throw BadSignatureFile("bad method descriptor " + descriptor);
            i = end;
        }
        ++i;
        ++slots;
    }
    if (i >= descriptor.size() || slots > 255)
        throw BadSignatureFile("bad method descriptor " + descriptor);
    return std::uint16_t(slots);
}

/// A body that is valid for every method: aconst_null, athrow. Without branches it needs no
/// stack map, so a Java 8 verifier accepts it as well.
Bytes minimalCode(std::uint16_t maxLocals)
{
    Writer code;
    code.u2(1); // u2 max_stack
    code.u2(maxLocals); // u2 max_locals
    code.u4(2); // u4 code_length
    code.u1(0x01); // aconst_null
    code.u1(0xbf); // athrow
    code.u2(0); // u2 exception_table_length
    code.u2(0); // u2 attributes_count
    return code.out;
}

void copyMembers(
    Cursor &in, const ConstantPool &pool, Writer &out, bool methods, std::uint16_t codeIndex)
{
    const std::uint16_t count = in.u2(); // u2 fields_count / methods_count
    out.u2(count);
    for (std::uint16_t i = 0; i < count; ++i) {
        const std::uint16_t flags = in.u2(); // u2 access_flags
        const std::uint16_t nameIndex = in.u2(); // u2 name_index
        const std::uint16_t descriptorIndex = in.u2(); // u2 descriptor_index
        pool.text(nameIndex);
        const std::string &descriptor = pool.text(descriptorIndex);
        out.u2(flags);
        out.u2(nameIndex);
        out.u2(descriptorIndex);
        const bool concrete = methods && !(flags & (ACC_ABSTRACT | ACC_NATIVE));
        Bytes body;
        if (concrete) {
            const std::uint16_t self = (flags & ACC_STATIC) ? 0 : 1;
            body = minimalCode(std::uint16_t(parameterSlots(descriptor) + self));
        }
        copyAttributes(in, pool, out, concrete, codeIndex, body);
    }
}

std::string classNameOf(const ConstantPool &pool, std::uint16_t thisClass)
{
    if (thisClass == 0 || thisClass >= pool.count || pool.tags[thisClass] != 7)
        throw BadSignatureFile("this_class is no Class entry");
    return pool.text(pool.classNames[thisClass]);
}

Result convertOrThrow(const Bytes &sig)
{
    Cursor in(sig);
    if (in.u4() != 0xCAFEBABE) // u4 magic
        throw BadSignatureFile("not a class file");
    in.u2(); // u2 minor_version
    in.u2(); // u2 major_version
    const std::size_t poolStart = in.position();
    ConstantPool pool = readPool(in);
    const std::size_t poolEnd = in.position();

    std::uint16_t codeIndex = pool.indexOf("Code");
    const bool addCodeName = codeIndex == 0;
    if (addCodeName) {
        if (pool.count == 0xFFFF)
            throw BadSignatureFile("constant pool is full");
        codeIndex = pool.count;
    }

    Writer out;
    out.u4(0xCAFEBABE);
    out.u2(0); // minor_version
    out.u2(JAVA8_MAJOR);
    out.u2(std::uint16_t(pool.count + (addCodeName ? 1 : 0)));
    out.bytes(sig.data() + poolStart + 2, poolEnd - poolStart - 2);
    if (addCodeName) {
        out.u1(1); // CONSTANT_Utf8
        out.u2(4);
        out.bytes(reinterpret_cast<const std::uint8_t *>("Code"), 4);
    }

    out.u2(in.u2()); // u2 access_flags
    const std::uint16_t thisClass = in.u2(); // u2 this_class
    out.u2(thisClass);
    out.u2(in.u2()); // u2 super_class
    const std::uint16_t interfaces = in.u2(); // u2 interfaces_count
    out.u2(interfaces);
    for (std::uint16_t i = 0; i < interfaces; ++i)
        out.u2(in.u2());
    copyMembers(in, pool, out, false, codeIndex);
    copyMembers(in, pool, out, true, codeIndex);
    copyAttributes(in, pool, out, false, codeIndex, {});

    Result result;
    result.className = classNameOf(pool, thisClass);
    result.classFile = std::move(out.out);
    return result;
}

} // namespace

Result convert(const Bytes &sig)
{
    try {
        return convertOrThrow(sig);
    } catch (const BadSignatureFile &e) {
        Result result;
        result.error = e.what();
        return result;
    }
}

} // namespace SigConverter
