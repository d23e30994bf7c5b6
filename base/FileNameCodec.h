#pragma once

#include <QTextCodec>

/// UTF-8 that keeps every byte: file names and command-line arguments are bytes that need not be
/// UTF-8, and Qt turns them into text and back with the locale's codec. Plain UTF-8 would turn a
/// byte such as 0xE9 into U+FFFD, after which the file can no longer be opened. Here each byte
/// that is not part of valid UTF-8 becomes the lone surrogate U+DC00 + byte, and turns back into
/// that very byte, so a name read from a directory or the command line opens the same file.
/// PrintableText shows such a character as \xHH.
class FileNameCodec : public QTextCodec
{
public:
    /// Makes the codec Qt's locale codec for the whole process; call before any thread exists.
    static void install();

    /// The byte that a lone surrogate stands for, or -1 for any other character.
    static int escapedByte(char16_t c);
    /// Length of the well-formed UTF-8 sequence that starts `in` (of `available` bytes), 0 when
    /// none does; sets `code` to its code point. Overlong forms, surrogates and code points past
    /// U+10FFFF are not well formed.
    static int sequenceAt(const unsigned char *in, int available, char32_t &code);
    /// Writes the bytes of `length` characters at `in` to `out`, which has room for
    /// 3 * length of them, and returns the end of what it wrote: what the codec gives, without a
    /// buffer of its own.
    static char *putText(char *out, const QChar *in, int length);

    QByteArray name() const override;
    int mibEnum() const override;

protected:
    QString convertToUnicode(const char *in, int length, ConverterState *state) const override;
    QByteArray
    convertFromUnicode(const QChar *in, int length, ConverterState *state) const override;
};
