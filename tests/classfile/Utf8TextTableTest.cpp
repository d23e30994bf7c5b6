#include "classfile/Utf8TextTable.h"

#include <gtest/gtest.h>

#include <string>

// The table grows and starts over as it fills: every text must come back as its own bytes
// throughout, and a text met again while the table holds it is the same copy.
TEST(Utf8TextTable, TextsStayTheirBytesWhileTheTableGrowsAndStartsOver)
{
    Utf8TextTable table;
    const int count = Utf8TextTable::mostTexts + 1000;
    for (int i = 0; i < count; ++i) {
        const std::string bytes = "p/C" + std::to_string(i);
        const QString text = table.get(bytes);
        ASSERT_EQ(text, QString::fromStdString(bytes));
        ASSERT_TRUE(table.get(bytes).isSharedWith(text)) << bytes;
        if (i % 4096 == 0) {
            ASSERT_EQ(table.get("p/C0"), "p/C0");
        }
    }
}

TEST(Utf8TextTable, DecodesModifiedUtf8AndLongTextsAlike)
{
    Utf8TextTable table;
    // A zero-length pool string may come with no address at all.
    EXPECT_EQ(table.get(std::string_view()), "");
    EXPECT_EQ(table.get(std::string_view()), "");
    EXPECT_EQ(table.get(""), "");
    EXPECT_EQ(table.get("\xc3\xa9t\xc3\xa9"), QString::fromUtf8("été"));
    const std::string longText(Utf8TextTable::longestShared + 1, 'x');
    EXPECT_EQ(table.get(longText), QString::fromStdString(longText));
    EXPECT_FALSE(table.get(longText).isSharedWith(table.get(longText)));
}
