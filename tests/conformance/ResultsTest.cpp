#include "conformance/Results.h"

#include <gtest/gtest.h>
#include <string>

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
    EXPECT_EQ(group.SerializeAsString(), expected);
}
