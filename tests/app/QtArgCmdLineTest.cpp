// The option library on tables of its own, for the rules the program's table does not exercise.

#include "app/QtArgCmdLine.h"
#include "app/QtArg.h"
#include "app/QtArgBaseException.h"
#include "app/QtArgDefaultHelpPrinter.h"
#include "app/QtXorArg.h"

#include <gtest/gtest.h>

namespace {

/// The exception text of parsing tokens, or an empty string when they parse.
std::string parseError(QtArgCmdLine &cmdLine)
{
    try {
        cmdLine.parse();
    } catch (const QtArgBaseException &error) {
        return error.what();
    }
    return std::string();
}

} // namespace

TEST(QtArgCmdLine, AnExactNameWinsOverAbbreviationsOfOtherUnits)
{
    QtArg test("test", "");
    QtArg testing("testing", "");
    QtArgCmdLine exact("p", { "--test" });
    exact.addArg(testing);
    exact.addArg(test);
    EXPECT_EQ(parseError(exact), "");
    EXPECT_TRUE(test.isDefined());
    EXPECT_FALSE(testing.isDefined());

    QtArgCmdLine shared("p", { "--tes" });
    shared.addArg(testing);
    shared.addArg(test);
    EXPECT_EQ(parseError(shared), "Unknown argument: --tes");
}

TEST(QtArgCmdLine, AGroupOffersItsExactMemberBeforeAnEarlierAbbreviatedOne)
{
    QtArg longer("abc", "");
    QtArg shorter("ab", "");
    QtXorArg group("Group", { &longer, &shorter });
    QtArgCmdLine cmdLine("p", { "--ab" });
    cmdLine.addArg(group);
    EXPECT_EQ(parseError(cmdLine), "");
    EXPECT_TRUE(shorter.isDefined());
    EXPECT_EQ(cmdLine.findLong("a").arg, &longer);
}

TEST(QtArgCmdLine, AnEmptyValueIsGivenButAMissingOneIsAnError)
{
    QtArg value("value", "", QtArg::TakesValue);
    QtArgCmdLine empty("p", { "--value=" });
    empty.addArg(value);
    EXPECT_EQ(parseError(empty), "");
    EXPECT_TRUE(value.value().isEmpty());
    EXPECT_FALSE(value.value().isNull());

    QtArg last("value", "", QtArg::TakesValue);
    QtArgCmdLine missing("p", { "--value", "x", "--value" });
    missing.addArg(last);
    EXPECT_EQ(parseError(missing), "Not defined value of the argument: value");
}

TEST(QtArgCmdLine, FlagsMayShareOneTokenAndMandatoryOptionsMustCome)
{
    QtArg all("all", "", QtArg::NoValue, 'a');
    QtArg verbose("verbose", "", QtArg::NoValue, 'v');
    QtArg input("input", "", QtArg::TakesValue, QChar(), QtArg::Mandatory);
    QtArgCmdLine cmdLine("p", { "-av" });
    cmdLine.addArg(all);
    cmdLine.addArg(verbose);
    cmdLine.addArg(input);
    EXPECT_EQ(parseError(cmdLine), "Not defined mandatory argument: input");
    EXPECT_TRUE(all.isDefined());
    EXPECT_TRUE(verbose.isDefined());
}

TEST(QtArgDefaultHelpPrinter, NamesThatNoPrefixSetsApartAreShownWhole)
{
    QtArg ab("ab", "Short.");
    QtArg abc("abc", "Long.", QtArg::TakesValue);
    QtArg b("b", "One letter.");
    QtArgCmdLine cmdLine("prog", {});
    cmdLine.addArg(ab);
    cmdLine.addArg(abc);
    cmdLine.addArg(b);
    QtArgDefaultHelpPrinter printer;
    printer.setProgramDescription("Tool");
    // Without flags the flag column is four spaces; descriptions start three after the widest
    // names.
    EXPECT_EQ(printer.help(cmdLine).toStdString(),
              "Tool\n\nUSAGE: prog [--ab] [--abc <arg>] [--b] \n\n"
              "    --ab          Short.\n"
              "    --abc <arg>   Long.\n"
              "    --b           One letter.\n");
}
