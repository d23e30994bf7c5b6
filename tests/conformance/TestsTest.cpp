#include "conformance/Tests.h"

#include "EmptyGoldData.h"
#include "base/Options.h"
#include "support/Files.h"
#include "support/Golden.h"
#include "support/LogCapture.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

const Classpath component("comp.jar");
const Classpath framework("fw1.jar:fw2.jar");
const QString tssGold = "tss.javagold";

/// Runs recipes where every gold file is empty, with the results in the same directory.
class RecipeRun : public testing::Test
{
protected:
    void SetUp() override
    {
        Options::opts->logDir = dir.path();
        Options::opts->port = 0;
    }

    /// The classpaths a recipe built, in the order its loaders were made, and the top groups of
    /// its results: the lines indented by two spaces that name a group.
    QByteArray transcript(const char *name, const std::function<int()> &recipe)
    {
        LogCapture log;
        EXPECT_EQ(recipe(), 0) << name;
        QStringList lines { name };
        lines << log.texts(Logger::L_DEBUG).filter(QRegExp("^Processing classpath: "));
        const QString results = QString::fromLocal8Bit(readFile(dir.filePath("results.txt")));
        lines << "groups: "
                + results.split('\n')
                      .filter(QRegExp("^  [^ ].*:$"))
                      .replaceInStrings(QRegExp("^  |:$"), "")
                      .join(", ");
        return lines.join("\n  ").toLocal8Bit() + '\n';
    }

    EmptyGoldData dir;
};

} // namespace

// The gold chain, the component's own chain, then the access chain (allowed APIs plus the
// component) and the component's chain again; J2EE 8 only under General Purpose. The component
// and framework jars do not exist: that much each run could not read.
TEST_F(RecipeRun, RecipesBuildTheirClasspathsInTheirOwnOrderUnderEveryProfile)
{
    const QList<QPair<const char *, std::function<int()>>> recipes {
        { "oss", [] { return Tests::oss(component); } },
        { "tss", [] { return Tests::tss(component, tssGold, framework); } },
        { "tssabs", [] { return Tests::tssabs(component, tssGold, framework); } },
        { "tssabsiface", [] { return Tests::tssabsiface(component, framework); } },
        { "ios", [] { return Tests::ios(component, framework); } },
        { "pss", [] { return Tests::pss(component, tssGold, framework); } },
        { "pcs", [] { return Tests::pcs(component, tssGold, framework); } },
    };
    for (int profile = 0; profile <= 3; ++profile) {
        QByteArray transcripts;
        Options::opts->profile = profile;
        for (const auto &recipe : recipes)
            transcripts += transcript(recipe.first, recipe.second);
        Golden::expectEqual(QString("conformance/recipes-profile-%1.txt").arg(profile),
                            transcripts);
    }
}

TEST_F(RecipeRun, InputsNotReadBecomeFailedResultsThatSayWhatEachInputWas)
{
    Options::opts->profile = 3;
    QDir(dir.path()).mkdir("empty");
    QFile(dir.filePath("typo.javagld")).open(QIODevice::WriteOnly);
    Tests::pss(Classpath("comp.jar:empty"), "typo.javagld", Classpath("fw.jar"));
    const QByteArray results = readFile(dir.filePath("results.txt"));
    Golden::expectEqual("conformance/inputs-not-read.txt",
                        results.mid(results.indexOf("  Input Results:"))
                            .replace(dir.path().toLocal8Bit(), "@DIR@"));
    EXPECT_TRUE(QFile::exists(dir.filePath("results.xml")));
}
