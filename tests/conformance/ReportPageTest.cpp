#include "conformance/ResultsPage.h"

#include "conformance/Findings.h"

#include "FindingTrees.h"

#include <gtest/gtest.h>

TEST(ResultsPage, NamesFromClassFilesCannotBecomeMarkupOrEndTheData)
{
    FindingTree tree;
    const QString hostile = "</script><script>alert(1)</script>\x01";
    TestResult &result = tree.add({ "Access Results", hostile },
                                  "Class " + hostile + " existence test",
                                  "Access to class x was requested. Checking for existence.",
                                  R_FAIL,
                                  "Class not found");
    Origin &origin = *result.add_origins();
    origin.set_place("code");
    origin.set_member("<b>m()V");
    origin.set_line(7);
    const Findings findings(*tree.root);
    const ResultsPage::Run run {
        "PSS test", "javaconformance '<x>'", "General Purpose", { "data/<j2se8>.javagold" }, "now"
    };
    const QString page = QString::fromUtf8(ResultsPage::toHtml(*tree.root, findings, run));

    // The program's own two scripts and nothing else.
    EXPECT_EQ(page.count("<script"), 2);
    EXPECT_EQ(page.count("</script>"), 2);
    EXPECT_FALSE(page.contains("<b>"));
    EXPECT_FALSE(page.contains(QChar(1)));
    EXPECT_TRUE(
        page.contains("&lt;/script&gt;&lt;script&gt;alert(1)&lt;/script&gt;\\x01 not found"));
    EXPECT_TRUE(page.contains("\\u003c/script>\\u003cscript>alert(1)\\u003c/script>\\\\x01"));
    EXPECT_TRUE(page.contains("[\"code\",\"\\u003cb>m()V\",7]"));
    EXPECT_TRUE(page.contains("data/&lt;j2se8&gt;.javagold"));
}

TEST(ResultsPage, TheHeadSaysVerdictCountsAndInputsNotReadWithoutScripts)
{
    const FindingTree tree = FindingTree::mixedRun();
    const Findings findings(*tree.root);
    const QString page = QString::fromUtf8(ResultsPage::toHtml(*tree.root, findings, {}));
    EXPECT_TRUE(page.contains("<h1 id=\"verdict\" class=\"fail\">"
                              + findings.getVerdictLine().toHtmlEscaped() + "</h1>"));
    EXPECT_TRUE(
        page.contains(QString("<span class=\"FAIL\">%1 FAIL</span>").arg(findings.count(R_FAIL))));
    EXPECT_TRUE(page.contains("<section id=\"unread\">"));
    EXPECT_TRUE(page.contains("sun.misc.Unsafe not found <span class=\"n\">2 classes</span>"));
}
