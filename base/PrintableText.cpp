#include "base/PrintableText.h"

#include "base/FileNameCodec.h"

#include <algorithm>
#include <cstdio>
#include <sstream>

namespace {

// The bidirectional controls reorder what follows them on screen: a name holding one could make
// a line read other than it is written.
bool isBidiControl(char32_t c)
{
    return c == 0x061c || c == 0x200e || c == 0x200f || (c >= 0x202a && c <= 0x202e)
        || (c >= 0x2066 && c <= 0x2069);
}

bool isControl(char32_t c)
{
    return c < 0x20 || (c >= 0x7f && c <= 0x9f) || c == 0x2028 || c == 0x2029 || isBidiControl(c);
}

/// What a character is shown as, -1 when it is shown as itself: a byte of a name that was not
/// UTF-8 (FileNameCodec) reads \xHH like a control character.
int escapedCode(QChar c)
{
    const int byte = FileNameCodec::escapedByte(c.unicode());
    if (byte >= 0)
        return byte;
    return isControl(c.unicode()) ? c.unicode() : -1;
}

/// Whether a high surrogate at `at` and a low one after it make one character. Only a lone low
/// surrogate stands for a byte (FileNameCodec): the low half of a character above U+FFFF may
/// fall in the same range, and is no byte.
bool startsPair(QStringView text, qsizetype at)
{
    return text[at].isHighSurrogate() && at + 1 < text.size() && text[at + 1].isLowSurrogate();
}

/// A byte that was not part of a character reads \xHH whatever its value.
std::string escapeOf(char32_t c, bool isByte)
{
    switch (c) {
    case '\n':
        return "\\n";
    case '\r':
        return "\\r";
    case '\t':
        return "\\t";
    default:
        break;
    }
    char text[8];
    std::snprintf(text, sizeof text, c <= 0x7f || isByte ? "\\x%02x" : "\\u%04x", unsigned(c));
    return text;
}

/// The escape of the character or stray byte that starts at `at`, empty when it is shown as it
/// is; sets `length` to its length in bytes. A byte that is not part of well-formed UTF-8 is
/// shown by itself.
std::string escapedAt(std::string_view text, size_t at, size_t &length)
{
    const auto *bytes = reinterpret_cast<const unsigned char *>(text.data()) + at;
    char32_t code = 0;
    length = size_t(
        FileNameCodec::sequenceAt(bytes, int(std::min<size_t>(text.size() - at, 4)), code));
    if (length == 0) {
        length = 1;
        return escapeOf(bytes[0], true);
    }
    return isControl(code) ? escapeOf(code, false) : std::string();
}

} // namespace

bool PrintableText::isPlain(QStringView text)
{
    for (qsizetype at = 0; at < text.size(); ++at) {
        const QChar c = text[at];
        // Printable ASCII first: nearly every character of a name is.
        if (c.unicode() >= 0x20 && c.unicode() < 0x7f)
            continue;
        if (startsPair(text, at))
            ++at;
        else if (escapedCode(c) >= 0)
            return false;
    }
    return true;
}

QString PrintableText::escape(const QString &text)
{
    // Almost every text has nothing to escape, and is then shared rather than copied.
    if (isPlain(text))
        return text;
    QString escaped;
    escaped.reserve(text.size());
    for (int at = 0; at < text.size(); ++at) {
        if (startsPair(text, at)) {
            escaped += text.midRef(at, 2);
            ++at;
            continue;
        }
        const QChar c = text[at];
        const int code = escapedCode(c);
        const bool isByte = FileNameCodec::escapedByte(c.unicode()) >= 0;
        if (code >= 0)
            escaped += QLatin1String(escapeOf(char32_t(code), isByte).c_str());
        else
            escaped += c;
    }
    return escaped;
}

std::string PrintableText::escape(const std::string &text)
{
    std::ostringstream out;
    write(out, text);
    return out.str();
}

void PrintableText::write(std::ostream &out, std::string_view text)
{
    size_t plain = 0; // start of the bytes not written yet
    size_t at = 0;
    while (at < text.size()) {
        const char plainByte = text[at];
        if (plainByte >= 0x20 && plainByte < 0x7f) {
            ++at;
            continue;
        }
        size_t length = 0;
        const std::string escaped = escapedAt(text, at, length);
        if (escaped.empty()) {
            at += length;
            continue;
        }
        out.write(text.data() + plain, std::streamsize(at - plain));
        out << escaped;
        at += length;
        plain = at;
    }
    out.write(text.data() + plain, std::streamsize(at - plain));
}
