#include "conformance/ResultsPage.h"

#include "conformance/Findings.h"

#include "FindingTrees.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

namespace {

void addOrigin(TestResult &result, const QString &member, int line)
{
    Origin &origin = *result.add_origins();
    origin.set_place("code");
    origin.set_member(member.toStdString());
    origin.set_line(line);
}

QString pageOf(const FindingTree &tree, const ResultsPage::Run &run = {})
{
    const Findings findings(*tree.root);
    return QString::fromUtf8(ResultsPage::toHtml(*tree.root, findings, run));
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

TEST(ResultsPage, NamesFromClassFilesCannotBecomeMarkupOrEndTheData)
{
    FindingTree tree;
    const QString hostile = "</script><script>alert(1)</script>\x01";
    TestResult &result = tree.add({ "Access Results", hostile },
                                  "Class " + hostile + " existence test",
                                  "Access to class x was requested. Checking for existence.",
                                  R_FAIL,
                                  "Class not found");
    addOrigin(result, "<b>m()V", 7);
    const QString page = pageOf(tree,
                                { "PSS test",
                                  "javaconformance '<x>'",
                                  "General Purpose",
                                  { "data/<j2se8>.javagold" },
                                  "now" });

    // The program's own data blocks and script, and nothing else.
    EXPECT_EQ(page.count("<script"), 4);
    EXPECT_EQ(page.count("</script>"), 4);
    EXPECT_FALSE(page.contains("<b>"));
    EXPECT_FALSE(page.contains(QChar(1)));
    EXPECT_TRUE(
        page.contains("\\u003c/script>\\u003cscript>alert(1)\\u003c/script>\\\\x01 not found"));
    EXPECT_TRUE(page.contains("\"\\u003cb>m()V\""));
    EXPECT_TRUE(page.contains("data/&lt;j2se8&gt;.javagold"));
    EXPECT_TRUE(page.contains("javaconformance '&lt;x&gt;'"));
    // Parsed, the names read as the class file has them, control characters shown as escapes.
    EXPECT_EQ(block(page, "page-data")["c"][0].toString(),
              "</script><script>alert(1)</script>\\x01");
}

TEST(ResultsPage, TheHeadSaysVerdictCountsAndInputsNotReadWithoutScripts)
{
    const FindingTree tree = FindingTree::mixedRun();
    const Findings findings(*tree.root);
    const QString page = pageOf(tree);
    EXPECT_TRUE(page.contains("<h1 id=\"verdict\" class=\"fail\">"
                              + findings.getVerdictLine().toHtmlEscaped() + "</h1>"));
    EXPECT_TRUE(
        page.contains(QString("<span class=\"FAIL\">%1 FAIL</span>").arg(findings.count(R_FAIL))));
    EXPECT_TRUE(page.contains("<section id=\"unread\">"));
    EXPECT_TRUE(page.contains("<h2>To inspect (1)</h2>"));
}

// The data is indexes into tables: each finding must reach its own classes and their places, and
// each result of the tree its own places.
TEST(ResultsPage, FindingsAndResultsReachTheirClassesAndPlacesThroughTheTables)
{
    FindingTree tree = FindingTree::mixedRun();
    TestResult &one = *tree.root->mutable_subgroup(1)->mutable_subgroup(0)->mutable_results(0);
    addOrigin(one, "run()V", 12);
    addOrigin(one, "get()I", 0);
    one.set_more_origins(3);
    addOrigin(
        *tree.root->mutable_subgroup(1)->mutable_subgroup(1)->mutable_results(0), "get()I", 9);
    const QString page = pageOf(tree);
    const QJsonObject data = block(page, "page-data").object();
    const QJsonObject places = block(page, "page-origins").object();
    const QJsonArray texts = places["s"].toArray();
    const auto text = [&texts](const QJsonValue &index) { return texts[index.toInt()].toString(); };

    const QJsonArray unsafe = data["f"][0].toArray();
    EXPECT_EQ(unsafe[1].toString(), "sun.misc.Unsafe not found");
    const QJsonArray classes = unsafe[3].toArray();
    ASSERT_EQ(classes.size(), 2);
    EXPECT_EQ(data["c"][classes[0].toInt()].toString(), "a.One");
    EXPECT_EQ(data["c"][classes[1].toInt()].toString(), "a.Two");
    const QJsonArray ofOne = places["f"][0][0].toArray();
    ASSERT_GE(ofOne.size(), 7);
    EXPECT_EQ(ofOne[0].toInt(), 3);
    EXPECT_EQ(text(ofOne[1]), "code");
    EXPECT_EQ(text(ofOne[2]), "run()V");
    EXPECT_EQ(ofOne[3].toInt(), 12);
    EXPECT_EQ(text(ofOne[5]), "get()I");
    const QJsonArray ofTwo = places["f"][0][1].toArray();
    EXPECT_EQ(text(ofTwo[2]), "get()I");
    EXPECT_EQ(ofTwo[3].toInt(), 9);

    // [name, results, groups]; a result [name, score, description, logs, cause, places]; the
    // tree's texts are indexes too.
    const QJsonObject treeBlock = block(page, "page-tree").object();
    const QJsonArray treeTexts = treeBlock["t"].toArray();
    const auto treeText
        = [&treeTexts](const QJsonValue &index) { return treeTexts[index.toInt()].toString(); };
    const QJsonArray access = treeBlock["g"][2][1].toArray();
    EXPECT_EQ(treeText(access[0]), "Access Results");
    const QJsonArray result = access[2][1][1][0].toArray();
    EXPECT_EQ(treeText(result[0]), "Class sun.misc.Unsafe existence test");
    EXPECT_EQ(result[3][0].toInt(), 2);
    EXPECT_EQ(treeText(result[3][1]), "Class not found");
    EXPECT_EQ(text(places["r"][result[5].toInt()][2]), "get()I");
}
