#include "conformance/Tests.h"

#include "EmptyGoldData.h"
#include "app/Options.h"
#include "support/Files.h"
#include "support/Golden.h"
#include "support/LogCapture.h"

#include <gtest/gtest.h>

#include <functional>

namespace {
const QString J2EE = "data/j2ee8.javagold:";
const QString SE_COMMON_CORBA
    = "data/j2se8.javagold:data/DRAV_common.javagold:data/FormerlyCORBA.javagold";
const QString IOS = "data/IOS.javagold";
const QString TSS_TI = "data/TSS_type_independent.javagold";
const QString TSS_TA = "data/TSS_type_abstraction.javagold";
const Classpath component("comp.jar");
const Classpath framework("fw1.jar:fw2.jar");
const QString tssGold = "tss.javagold";

struct RecipeCase
{
    const char *name;
    std::function<int()> recipe;
    QString gold; // without the J2EE 8 file
    QString allowed; // without the J2EE 8 file; empty for the interface-only recipe
    QStringList topGroups;
};

QList<RecipeCase> recipes()
{
    const QStringList both { "Interface Results", "Access Results" };
    const QStringList access { "Access Results" };
    return {
        { "oss",
          [] { return Tests::oss(component); },
          "data/j2se8.javagold",
          "",
          { "Interface Results" } },
        { "tss",
          [] { return Tests::tss(component, tssGold, framework); },
          TSS_TI + ":tss.javagold",
          SE_COMMON_CORBA + ":comp.jar:fw1.jar:fw2.jar",
          both },
        { "tssabs",
          [] { return Tests::tssabs(component, tssGold, framework); },
          TSS_TI + ":tss.javagold",
          SE_COMMON_CORBA + ":" + TSS_TA + ":comp.jar:fw1.jar:fw2.jar",
          both },
        { "tssabsiface",
          [] { return Tests::tssabsiface(component, framework); },
          TSS_TI + ":" + TSS_TA,
          SE_COMMON_CORBA + ":comp.jar:fw1.jar:fw2.jar",
          both },
        { "ios",
          [] { return Tests::ios(component, framework); },
          IOS,
          SE_COMMON_CORBA + ":comp.jar:fw1.jar:fw2.jar",
          both },
        { "pss",
          [] { return Tests::pss(component, tssGold, framework); },
          "",
          SE_COMMON_CORBA + ":" + IOS + ":" + TSS_TI + ":tss.javagold:fw1.jar:fw2.jar",
          access },
        { "pcs",
          [] { return Tests::pcs(component, tssGold, framework); },
          "",
          "data/j2se8.javagold:" + IOS + ":data/DRAV_common.javagold:data/FormerlyCORBA.javagold:"
              + TSS_TI + ":tss.javagold:fw1.jar:fw2.jar",
          access },
    };
}

// The classpaths a recipe builds, in the order its loaders are created: the gold chain, the
// component's own chain, then the access chain (allowed APIs plus the component) and the
// component's chain again.
QStringList expectedClasspaths(const RecipeCase &recipe, bool generalPurpose)
{
    const QString j2ee = generalPurpose ? J2EE : "";
    QStringList classpaths;
    if (!recipe.gold.isEmpty()) {
        const QString gold = recipe.name == QString("oss") ? j2ee + recipe.gold : recipe.gold;
        classpaths << gold << "comp.jar";
    }
    if (!recipe.allowed.isEmpty())
        classpaths << j2ee + recipe.allowed + ":comp.jar"
                   << "comp.jar";
    return classpaths;
}

QStringList topGroupsOf(const QString &resultsFile)
{
    QFile file(resultsFile);
    if (!file.open(QIODevice::ReadOnly))
        return { "<no results file>" };
    QStringList groups;
    for (const QString &line : QString::fromLocal8Bit(file.readAll()).split('\n')) {
        if (line.startsWith("  ") && !line.startsWith("   ") && line.endsWith(':'))
            groups << line.mid(2).chopped(1);
    }
    return groups;
}

/// Runs recipes where every gold file is empty, with the results in the same directory.
class RecipeRun : public testing::Test
{
protected:
    void SetUp() override
    {
        Options::opts->logDir = dir.path();
        Options::opts->port = 0;
    }

    QStringList classpathsLogged(const RecipeCase &recipe)
    {
        LogCapture log;
        EXPECT_EQ(recipe.recipe(), 0);
        QStringList classpaths;
        for (const QString &text :
             log.texts(Logger::L_DEBUG).filter(QRegExp("^Processing classpath: ")))
            classpaths << text.mid(QString("Processing classpath: ").size());
        return classpaths;
    }

    EmptyGoldData dir;
};

class Recipes : public RecipeRun, public testing::WithParamInterface<int>
{
};
} // namespace

TEST_P(Recipes, BuildTheirClasspathsInTheirOwnOrderWithJ2ee8OnlyUnderGeneralPurpose)
{
    for (const RecipeCase &recipe : recipes()) {
        Options::opts->profile = GetParam();
        EXPECT_EQ(classpathsLogged(recipe), expectedClasspaths(recipe, GetParam() == 1))
            << recipe.name;
        // The component and framework jars do not exist: that much the run could not read.
        EXPECT_EQ(topGroupsOf(dir.filePath("results.txt")),
                  recipe.topGroups + QStringList { "Input Results" })
            << recipe.name;
    }
}

INSTANTIATE_TEST_SUITE_P(EveryProfile, Recipes, testing::Values(0, 1, 2, 3));

TEST_F(RecipeRun, MissingGoldFileStillEndsWithResultsFile)
{
    QFile::remove("data/j2se8.javagold");
    Options::opts->profile = 3;
    LogCapture log;
    Tests::oss(component);
    EXPECT_EQ(topGroupsOf(dir.filePath("results.txt")),
              (QStringList { "Interface Results", "Input Results" }));
    EXPECT_EQ(log.texts(Logger::L_ERROR).filter("Test interrupted by exception - ").size(), 1);
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
