#include "conformance/Results.h"

#include <gtest/gtest.h>
#include <string>

TEST(Results, LogHelpersAppendInOrderWithTheirLevels)
{
    TestResult result;
    error(result.mutable_logs(), "first");
    warning(result.mutable_logs(), QString("second %1").arg(2));
    error(result.mutable_logs(), QString());

    ASSERT_EQ(result.logs_size(), 3);
    EXPECT_EQ(result.logs(0).level(), L_ERROR);
    EXPECT_EQ(result.logs(0).text(), "first");
    EXPECT_EQ(result.logs(1).level(), L_WARNING);
    EXPECT_EQ(result.logs(1).text(), "second 2");
    EXPECT_TRUE(result.logs(2).has_text());
    EXPECT_EQ(result.logs(2).text(), "");
}

TEST(Results, UnsetFieldsReadAsTheFirstEnumerators)
{
    TestResult result;
    LogEntry entry;
    EXPECT_FALSE(result.has_score());
    EXPECT_EQ(result.score(), R_PASS);
    EXPECT_EQ(entry.level(), L_WARNING);
}

// Reporting hosts decode the tree by field number, so the numbering is part of the wire format.
TEST(Results, WireFormatKeepsTheFieldNumbers)
{
    TestResultGroup group;
    group.set_name("g");
    TestResult *result = group.add_results();
    result->set_name("r");
    result->set_score(R_INSPECT);
    result->set_description("d");
    warning(result->mutable_logs(), "w");
    group.add_subgroup()->set_name("s");

    const std::string expected = std::string("\x0a\x01g", 3) // 1 name
        + std::string("\x12\x03\x0a\x01s", 5) // 2 subgroup
        + std::string("\x1a\x0f", 2) // 3 results
        + std::string("\x0a\x01r\x10\x03", 5) //   1 name, 2 score
        + std::string("\x1a\x05\x08\x01\x12\x01w", 7) //   3 logs: level, text
        + std::string("\x22\x01\x64", 3); //   4 description
    std::string wire;
    ASSERT_TRUE(group.SerializeToString(&wire));
    EXPECT_EQ(wire, expected);
}
