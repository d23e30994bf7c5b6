#include "base/FileNameCodec.h"

namespace {

constexpr char16_t escapeBase = 0xdc00;

char *putUtf8(char *out, char32_t code)
{
    if (code < 0x80) {
        *out++ = char(code);
    } else if (code < 0x800) {
        *out++ = char(0xc0 | (code >> 6));
        *out++ = char(0x80 | (code & 0x3f));
    } else if (code < 0x10000) {
        *out++ = char(0xe0 | (code >> 12));
        *out++ = char(0x80 | ((code >> 6) & 0x3f));
        *out++ = char(0x80 | (code & 0x3f));
    } else {
        *out++ = char(0xf0 | (code >> 18));
        *out++ = char(0x80 | ((code >> 12) & 0x3f));
        *out++ = char(0x80 | ((code >> 6) & 0x3f));
        *out++ = char(0x80 | (code & 0x3f));
    }
    return out;
}

} // namespace

void FileNameCodec::install()
{
    // Qt keeps every codec made for the rest of the process and deletes them at its end.
    QTextCodec::setCodecForLocale(new FileNameCodec);
}

int FileNameCodec::escapedByte(char16_t c)
{
    return c >= escapeBase + 0x80 && c <= escapeBase + 0xff ? int(c - escapeBase) : -1;
}

int FileNameCodec::sequenceAt(const unsigned char *in, int available, char32_t &code)
{
    const unsigned first = in[0];
    int length = 0;
    char32_t minimum = 0;
    if (first < 0x80) {
        code = first;
        return 1;
    }
    if (first >= 0xc2 && first <= 0xdf) {
        length = 2;
        code = first & 0x1f;
        minimum = 0x80;
    } else if (first >= 0xe0 && first <= 0xef) {
        length = 3;
        code = first & 0x0f;
        minimum = 0x800;
    } else if (first >= 0xf0 && first <= 0xf4) {
        length = 4;
        code = first & 0x07;
        minimum = 0x10000;
    } else {
        return 0;
    }
    if (length > available)
        return 0;
    for (int i = 1; i < length; ++i) {
        if ((in[i] & 0xc0) != 0x80)
            return 0;
        code = (code << 6) | (in[i] & 0x3f);
    }
    if (code < minimum || code > 0x10ffff || (code >= 0xd800 && code <= 0xdfff))
        return 0;
    return length;
}

QByteArray FileNameCodec::name() const
{
    return "UTF-8 keeping every byte";
}

int FileNameCodec::mibEnum() const
{
    return 0; // a private codec: no registered number
}

// A name or argument comes whole; text read in pieces is never decoded with this codec, so a
// sequence cut at the end of a piece is kept as its bytes rather than carried over. Every name,
// result text and log line passes here, most of them ASCII: the characters are written in place
// rather than appended one at a time.
QString FileNameCodec::convertToUnicode(const char *in, int length, ConverterState *) const
{
    const auto *bytes = reinterpret_cast<const unsigned char *>(in);
    QString text(length, Qt::Uninitialized); // never more characters than bytes
    QChar *out = text.data();
    QChar *const start = out;
    for (int at = 0; at < length;) {
        if (bytes[at] < 0x80) {
            *out++ = QChar(char16_t(bytes[at++]));
            continue;
        }
        char32_t code = 0;
        const int size = sequenceAt(bytes + at, length - at, code);
        if (size == 0) {
            *out++ = QChar(char16_t(escapeBase + bytes[at]));
            ++at;
            continue;
        }
        if (code >= 0x10000) {
            *out++ = QChar(QChar::highSurrogate(code));
            *out++ = QChar(QChar::lowSurrogate(code));
        } else {
            *out++ = QChar(char16_t(code));
        }
        at += size;
    }
    text.resize(int(out - start));
    return text;
}

QByteArray FileNameCodec::convertFromUnicode(const QChar *in, int length, ConverterState *) const
{
    QByteArray bytes(3 * length, Qt::Uninitialized); // a pair's four bytes come from two characters
    char *out = bytes.data();
    char *const start = out;
    out = putText(out, in, length);
    bytes.resize(int(out - start));
    return bytes;
}

char *FileNameCodec::putText(char *out, const QChar *in, int length)
{
    for (int i = 0; i < length; ++i) {
        const char16_t c = in[i].unicode();
        if (c < 0x80) {
            *out++ = char(c);
        } else if (QChar::isHighSurrogate(c) && i + 1 < length && in[i + 1].isLowSurrogate()) {
            out = putUtf8(out, QChar::surrogateToUcs4(c, in[i + 1].unicode()));
            ++i;
        } else if (escapedByte(c) >= 0) {
            *out++ = char(escapedByte(c));
        } else if (QChar::isSurrogate(c)) {
            *out++ = '?'; // half of a pair: no character and no byte to give back
        } else {
            out = putUtf8(out, c);
        }
    }
    return out;
}
