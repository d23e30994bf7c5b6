#include "tools/receiver/ReportText.h"

#include "SampleTrees.h"
#include "report/RUtil.h"

#include <gtest/gtest.h>
#include <optional>
#include <random>
#include <sstream>

namespace {

/// What the tester would write for message, through the protobuf runtime; empty when the runtime
/// refuses the message.
std::optional<std::string> runtimeText(const std::string &message)
{
    TestResultGroup tree;
    if (!tree.ParseFromString(message))
        return std::nullopt;
    return resultsText(tree).toStdString();
}

std::optional<std::string> reportText(const std::string &message)
{
    std::ostringstream out;
    if (!ReportText::write(QByteArray::fromStdString(message), out))
        return std::nullopt;
    return out.str();
}

/// A tree with something of every kind the reading has to get right.
std::string awkwardMessage()
{
    std::unique_ptr<TestResultGroup> root = exampleTree();
    TestResult *result = root->mutable_subgroup(0)->add_results();
    result->set_name("line\nbreak");
    result->set_score(R_INSPECT);
    warning(result->mutable_logs(), "first");
    result->add_logs()->set_text("no level");
    std::string message = root->SerializeAsString();
    // A second name (the last one counts), an unknown varint, an unknown fixed64 and an unknown
    // group, then an enumeration value the schema does not have inside a result.
    message += std::string("\x0a\x03new", 5) + std::string("\x28\x07", 2) + std::string("\x31", 1)
        + std::string(8, '\x01') + std::string("\x3b\x08\x01\x3c", 4)
        + std::string("\x1a\x04\x10\x09\x10\x02", 6);
    return message;
}

} // namespace

// The first of the mutants is the message itself, unchanged.
TEST(ReportText, AgreesWithTheProtobufRuntimeOnAnEmptyAWholeAndDamagedReports)
{
    EXPECT_EQ(reportText(""), std::string(":\n\n"));
    const std::string original = awkwardMessage();
    ASSERT_TRUE(runtimeText(original).has_value());
    std::mt19937 random(16);
    for (int mutant = 0; mutant < 3000; ++mutant) {
        std::string message = original;
        for (int change = 0; mutant > 0 && change < 1 + mutant % 4; ++change) {
            const size_t at = random() % message.size();
            const auto kind = random() % 3;
            if (kind == 0)
                message[at] = char(random());
            else if (kind == 1)
                message.erase(at, 1 + random() % 3);
            else
                message.insert(at, 1, char(random()));
        }
        ASSERT_EQ(reportText(message), runtimeText(message)) << "mutant " << mutant;
    }
}

TEST(ReportText, NestingBeyondTheRuntimesLimitIsRefused)
{
    for (const int depth : { 100, 101 }) {
        TestResultGroup root;
        TestResultGroup *group = &root;
        for (int level = 0; level < depth; ++level)
            group = group->add_subgroup();
        const std::string message = root.SerializeAsString();
        EXPECT_EQ(reportText(message).has_value(), runtimeText(message).has_value()) << depth;
    }
}
