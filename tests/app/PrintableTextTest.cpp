#include "app/PrintableText.h"

#include <gtest/gtest.h>

namespace {

/// Every kind of character the escaping tells apart, and what each becomes.
const QString raw = QString("a\nb\rc\td") + QChar(0x01) + QChar(0x1b) + QChar(0x7f) + QChar(0x85)
    + QChar(0x2028) + QChar(0x2029) + QString::fromUtf8("\\n é ü ") + QChar(0x2027);
const QString escaped = QString("a\\nb\\rc\\td\\x01\\x1b\\x7f\\u0085\\u2028\\u2029")
    + QString::fromUtf8("\\n é ü ") + QChar(0x2027);

} // namespace

TEST(PrintableText, ControlCharactersAreEscapedAndNothingElse)
{
    EXPECT_EQ(PrintableText::escape(raw), escaped);
    EXPECT_EQ(PrintableText::escape(raw.toStdString()), escaped.toStdString());
    EXPECT_EQ(PrintableText::escape(QString("java.lang.String")), "java.lang.String");
    EXPECT_EQ(PrintableText::escape(std::string("\0", 1)), "\\x00");
}

TEST(PrintableText, BytesOfOtherEncodingsAreKept)
{
    // Latin-1 and broken UTF-8: only the C0 controls and DEL are known for certain.
    EXPECT_EQ(PrintableText::escape(std::string("\xe9\x85\xc2\n\xe2\x80")), "\xe9\x85\xc2\\n\xe2\x80");
}
