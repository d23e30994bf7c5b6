#include "conformance/Findings.h"
#include "conformance/RUtil.h"

#include "FindingTrees.h"
#include "Loopback.h"
#include "SampleTrees.h"
#include "support/LogCapture.h"

#include <future>
#include <gtest/gtest.h>

namespace {

void addOrigin(TestResult &result, const char *place, const char *member, int line)
{
    Origin &origin = *result.add_origins();
    origin.set_place(place);
    origin.set_member(member);
    if (line > 0)
        origin.set_line(line);
}

QStringList texts(const DependencyOrigins &origins)
{
    QStringList texts;
    for (const DependencyOrigins::Origin &origin : origins.getKept())
        texts << QStringLiteral("%1:%2").arg(origin.member).arg(origin.line);
    if (origins.getMore() > 0)
        texts << QStringLiteral("+%1").arg(origins.getMore());
    return texts;
}

// sun.misc.Unsafe missing for a.One through the class and one of its methods, and for a.Two.
FindingTree unsafeTree()
{
    FindingTree tree;
    const QString name = "Class sun.misc.Unsafe existence test";
    TestResult &cls
        = tree.add({ "Access Results", "a.One" },
                   name,
                   "Access to class sun.misc.Unsafe was requested. Checking for existence.",
                   R_FAIL,
                   "Class not found");
    addOrigin(cls, "code", "cas(JJ)Z", 155);
    addOrigin(cls, "field type", "unsafe", 0);
    TestResult &method = tree.add({ "Access Results", "a.One" },
                                  name,
                                  "Access to method getUnsafe ()Lsun/misc/Unsafe; in class "
                                  "sun.misc.Unsafe was requested. Checking for "
                                  "class existence.",
                                  R_FAIL,
                                  "Class not found");
    addOrigin(method, "code", "cas(JJ)Z", 155);
    addOrigin(method, "code", "<clinit>()V", 40);
    method.set_more_origins(3);
    TestResult &other
        = tree.add({ "Access Results", "a.Two" },
                   name,
                   "Access to class sun.misc.Unsafe was requested. Checking for existence.",
                   R_FAIL,
                   "Class not found");
    addOrigin(other, "code", "get()V", 0);
    return tree;
}

} // namespace

TEST(Origins, AFindingKeepsWhereEachOfItsClassesMakesItOnce)
{
    const FindingTree tree = unsafeTree();
    const Findings findings(*tree.root);
    ASSERT_EQ(findings.getFindings().size(), 1);
    const Findings::Finding &finding = findings.getFindings().first();
    EXPECT_EQ(finding.classes, QStringList({ "a.One", "a.Two" }));
    ASSERT_EQ(finding.origins.size(), 2);
    EXPECT_EQ(texts(finding.origins[0]),
              QStringList({ "cas(JJ)Z:155", "unsafe:0", "<clinit>()V:40", "+3" }));
    EXPECT_EQ(texts(finding.origins[1]), QStringList("get()V:0"));
}

TEST(Origins, NeitherResultsTxtNorTheReportCarriesThem)
{
    const FindingTree tree = unsafeTree();
    TestResultGroup plain(*tree.root);
    clearOrigins(plain);
    ASSERT_NE(plain.SerializeAsString(), tree.root->SerializeAsString());

    EXPECT_EQ(resultsText(*tree.root), resultsText(plain));

    LogCapture log;
    LoopbackSocket listener(LoopbackSocket::Listening);
    auto received = std::async(std::launch::async, [&] { return listener.acceptAndReadAll(); });
    RUtil::sendResults("127.0.0.1", listener.port(), *tree.root);
    EXPECT_EQ(received.get().mid(4).toStdString(), plain.SerializeAsString());
    EXPECT_TRUE(log.lines().isEmpty());
}
