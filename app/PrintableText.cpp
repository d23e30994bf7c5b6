#include "app/PrintableText.h"

#include <algorithm>
#include <cstdio>
#include <sstream>

namespace {

bool isControl(char32_t c)
{
    return c < 0x20 || (c >= 0x7f && c <= 0x9f) || c == 0x2028 || c == 0x2029;
}

std::string escapeOf(char32_t c)
{
    switch (c) {
    case '\n': return "\\n";
    case '\r': return "\\r";
    case '\t': return "\\t";
    default: break;
    }
    char text[8];
    std::snprintf(text, sizeof text, c <= 0x7f ? "\\x%02x" : "\\u%04x", unsigned(c));
    return text;
}

/// The control character that the UTF-8 bytes at `at` start, and its length in bytes; length 0
/// when they start anything else.
char32_t controlAt(std::string_view text, size_t at, size_t &length)
{
    const auto byte = [&](size_t i) { return i < text.size() ? static_cast<unsigned char>(text[i]) : 0u; };
    const unsigned first = byte(at);
    length = 0;
    if (first < 0x20 || first == 0x7f) {
        length = 1;
        return first;
    }
    // C1 controls: U+0080 to U+009F, coded C2 80 to C2 9F.
    if (first == 0xc2 && byte(at + 1) >= 0x80 && byte(at + 1) <= 0x9f) {
        length = 2;
        return byte(at + 1);
    }
    // U+2028 and U+2029, coded E2 80 A8 and E2 80 A9.
    if (first == 0xe2 && byte(at + 1) == 0x80 && (byte(at + 2) == 0xa8 || byte(at + 2) == 0xa9)) {
        length = 3;
        return 0x2000 | (byte(at + 2) - 0x80);
    }
    return 0;
}

} // namespace

QString PrintableText::escape(const QString &text)
{
    // Almost every text has nothing to escape, and is then shared rather than copied.
    if (std::none_of(text.begin(), text.end(), [](QChar c) { return isControl(c.unicode()); }))
        return text;
    QString escaped;
    escaped.reserve(text.size());
    for (const QChar c : text) {
        if (isControl(c.unicode()))
            escaped += QLatin1String(escapeOf(c.unicode()).c_str());
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
        size_t length = 0;
        const char32_t control = controlAt(text, at, length);
        if (length == 0) {
            ++at;
            continue;
        }
        out.write(text.data() + plain, std::streamsize(at - plain));
        out << escapeOf(control);
        at += length;
        plain = at;
    }
    out.write(text.data() + plain, std::streamsize(at - plain));
}
