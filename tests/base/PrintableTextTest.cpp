#include "base/PrintableText.h"

#include <gtest/gtest.h>

namespace {

/// Every kind of character the escaping tells apart, and what each becomes.
const QString raw = QString("a\nb\rc\td") + QChar(0x01) + QChar(0x1b) + QChar(0x7f) + QChar(0x85)
    + QChar(0x2028) + QChar(0x2029) + QChar(0x202e) + QChar(0x2066) + QChar(0x2069) + QChar(0x200f)
    + QChar(0x061c) + QString::fromUtf8("\\n é ü ") + QChar(0x2027) + QChar(0x202f);
const QString escaped
    = QString(
          "a\\nb\\rc\\td\\x01\\x1b\\x7f\\u0085\\u2028\\u2029\\u202e\\u2066\\u2069\\u200f\\u061c")
    + QString::fromUtf8("\\n é ü ") + QChar(0x2027) + QChar(0x202f);

} // namespace

TEST(PrintableText, ControlCharactersAreEscapedAndNothingElse)
{
    EXPECT_EQ(PrintableText::escape(raw), escaped);
    EXPECT_EQ(PrintableText::escape(raw.toStdString()), escaped.toStdString());
    EXPECT_EQ(PrintableText::escape(QString("java.lang.String")), "java.lang.String");
    EXPECT_EQ(PrintableText::escape(std::string("\0", 1)), "\\x00");
}

TEST(PrintableText, BytesThatAreNotUtf8AreEscapedOneByOne)
{
    // Latin-1, a cut sequence, an overlong "/" and an encoded surrogate; é and U+10000 stay.
    EXPECT_EQ(PrintableText::escape(std::string(
                  "\xe9\x85\xc2\n\xe2\x80 \xc0\xaf \xed\xb3\xa9 \xc3\xa9\xf0\x90\x80\x80")),
              "\\xe9\\x85\\xc2\\n\\xe2\\x80 \\xc0\\xaf \\xed\\xb3\\xa9 \xc3\xa9\xf0\x90\x80\x80");
    // A file name's stray byte, as FileNameCodec keeps it in text.
    EXPECT_EQ(PrintableText::escape(QString("extra") + QChar(0xdce9) + ".jar"), "extra\\xe9.jar");
}

TEST(PrintableText, ACharacterAboveU10000IsNoByteWhateverItsLowHalf)
{
    // U+1F0A1 is D83C DCA1 in UTF-16: its low half lies where a lone one stands for byte A1.
    const QString card = QString::fromUtf8("a\xf0\x9f\x82\xa1.jar");
    EXPECT_TRUE(PrintableText::isPlain(card));
    EXPECT_EQ(PrintableText::escape(card), card);
    EXPECT_EQ(PrintableText::escape(card + QChar(0xdca1) + "\n"), card + "\\xa1\\n");
    EXPECT_EQ(PrintableText::escape(QString(QChar(0xd83c)) + QChar(0xdca1) + QChar(0xdca1)),
              QString(QChar(0xd83c)) + QChar(0xdca1) + "\\xa1");
}
