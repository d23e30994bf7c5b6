#include "report/ResultsPage.h"

#include "report/Findings.h"

#include "FindingTrees.h"
#include "support/Golden.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QRegularExpression>

#include <gtest/gtest.h>

namespace {

void addOrigin(TestResult &result, const QString &member, int line)
{
    Origin &origin = *result.add_origins();
    origin.set_place("code");
    origin.set_member(member.toStdString());
    origin.set_line(line);
}

// One of the page's data blocks, parsed as the page's script parses it.
QJsonDocument block(const QString &page, const QString &id)
{
    const QString start = "<script id=\"" + id + "\" type=\"application/json\">";
    const int from = page.indexOf(start) + start.size();
    const int to = page.indexOf("</script>", from);
    EXPECT_GE(from, start.size());
    QJsonParseError error {};
    const QJsonDocument document
        = QJsonDocument::fromJson(page.mid(from, to - from).toUtf8(), &error);
    EXPECT_EQ(error.error, QJsonParseError::NoError) << id.toStdString();
    return document;
}

} // namespace

// The page but its style and script: the head with verdict, counts and inputs not read, the
// sections, the run, and the data, which is indexes into tables: each finding must reach its own
// classes and their places, and each result of the tree its own places. Names from class files
// cannot become markup or end the data: parsed, they read as the class file has them, control
// characters shown as escapes.
TEST(ResultsPage, OfAMixedRunWithPlacesAndNamesThatWouldBeMarkup)
{
    FindingTree tree = FindingTree::mixedRun();
    TestResult &one = *tree.root->mutable_subgroup(1)->mutable_subgroup(0)->mutable_results(0);
    addOrigin(one, "run()V", 12);
    addOrigin(one, "get()I", 0);
    one.set_more_origins(3);
    // The same class's other result of the finding: its places join the first one's, once.
    TestResult &again = *tree.root->mutable_subgroup(1)->mutable_subgroup(0)->mutable_results(1);
    addOrigin(again, "run()V", 12);
    addOrigin(again, "<clinit>()V", 40);
    addOrigin(
        *tree.root->mutable_subgroup(1)->mutable_subgroup(1)->mutable_results(0), "get()I", 9);
    const QString hostile = "</script><script>alert(1)</script>\x01";
    addOrigin(tree.add({ "Access Results", hostile },
                       "Class " + hostile + " existence test",
                       "Access to class x was requested. Checking for existence.",
                       R_FAIL,
                       "Class not found"),
              "<b>m()V",
              7);
    const Findings findings(*tree.root);
    QString page
        = QString::fromUtf8(ResultsPage::toHtml(*tree.root, findings, sampleRun("PSS test")));

    // The program's own data blocks and script, and nothing else.
    EXPECT_EQ(page.count("<script"), 4);
    EXPECT_EQ(page.count("</script>"), 4);
    EXPECT_FALSE(page.contains("<b>"));
    EXPECT_FALSE(page.contains(QChar(1)));
    EXPECT_TRUE(block(page, "page-data")["c"].toArray().contains(
        QJsonValue("</script><script>alert(1)</script>\\x01")));
    page.replace(QRegularExpression("<style>.*</style>|<script>.*</script>",
                                    QRegularExpression::DotMatchesEverythingOption
                                        | QRegularExpression::InvertedGreedinessOption),
                 "[...]");
    Golden::expectEqual("report/results-page.html", page.toUtf8());
}
