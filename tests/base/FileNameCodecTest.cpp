#include "base/FileNameCodec.h"

#include "support/QtPrinters.h"

#include <gtest/gtest.h>

namespace {

// Qt keeps every codec made and deletes it when the process ends.
QTextCodec &codec()
{
    static QTextCodec *const made = new FileNameCodec;
    return *made;
}

QString repeated(const QString &text, int times)
{
    QString all;
    for (int i = 0; i < times; ++i)
        all += text;
    return all;
}

} // namespace

TEST(FileNameCodec, EveryNameComesBackAsTheBytesItWas)
{
    // ASCII, two, three and four bytes, then what is not UTF-8: Latin-1, a byte no sequence
    // starts with, an overlong "/", an encoded surrogate and a sequence cut at the end.
    const QByteArray name(
        "a.jar \xc3\xa9\xe2\x82\xac\xf0\x9f\x98\x80 \xe9\xff\xc0\xaf\xed\xa0\x80\xe2\x82");
    const QString text = codec().toUnicode(name);
    EXPECT_EQ(text,
              QString("a.jar ") + QChar(0xe9) + QChar(0x20ac) + QChar(0xd83d) + QChar(0xde00) + " "
                  + QChar(0xdce9) + QChar(0xdcff) + QChar(0xdcc0) + QChar(0xdcaf) + QChar(0xdced)
                  + QChar(0xdca0) + QChar(0xdc80) + QChar(0xdce2) + QChar(0xdc82));
    EXPECT_EQ(codec().fromUnicode(text), name);
}

TEST(FileNameCodec, TextsOfTheLongestAndShortestEncodingsConvertWhole)
{
    // Three bytes from one character, one character from one stray byte, four from two.
    for (const QString &unit : { QString(QChar(0x20ac)),
                                 QString(QChar(0xdcff)),
                                 QString(QChar(0xd83d)) + QChar(0xde00),
                                 QString("a") }) {
        const QString text = repeated(unit, 1000);
        EXPECT_EQ(codec().toUnicode(codec().fromUnicode(text)), text);
    }
}

TEST(FileNameCodec, HalfOfAPairBecomesAQuestionMark)
{
    EXPECT_EQ(codec().fromUnicode(QString("a") + QChar(0xd83d) + "b" + QChar(0xdc00)), "a?b?");
}
