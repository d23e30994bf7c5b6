#include "app/QtArgDefaultHelpPrinter.h"

#include "app/QtArg.h"
#include "app/QtArgCmdLine.h"

#include <algorithm>

namespace {

/// Columns between the longest names text and the descriptions.
const int columnGap = 3;

/// The name with its shortest prefix that no other name shares, the rest in square brackets;
/// a name that no prefix sets apart (it begins another name) is shown whole.
QString abbreviated(const QString &name, const QStringList &allNames)
{
    const auto sharedByOther = [&](const QString &prefix) {
        return std::any_of(allNames.begin(), allNames.end(), [&](const QString &other) {
            return other != name && other.startsWith(prefix);
        });
    };
    for (int length = 1; length < name.size(); ++length) {
        if (!sharedByOther(name.left(length)))
            return name.left(length) + '[' + name.mid(length) + ']';
    }
    return name;
}

QString valueText(const QtArg &arg)
{
    return arg.takesValue() ? QStringLiteral(" <arg>") : QString();
}

QString flagText(const QtArg &arg)
{
    return arg.hasFlag() ? QString('-') + arg.flag() : QString();
}

QString namesText(const QtArg &arg, const QStringList &allNames)
{
    return "--" + abbreviated(arg.name(), allNames) + valueText(arg);
}

QString unitUsage(const QtArgCmdLine::Unit &unit, const QStringList &allNames)
{
    QStringList usages;
    for (const QtArg *member : unit.members)
        usages << (member->hasFlag() ? flagText(*member) + ',' : QString())
                + namesText(*member, allNames);
    return '[' + usages.join(" | ") + "] ";
}

QStringList allNames(const QtArgCmdLine &cmdLine)
{
    QStringList names;
    for (const QtArg *arg : cmdLine.arguments())
        names << arg->name();
    return names;
}

QString usage(const QtArgCmdLine &cmdLine)
{
    const QStringList names = allNames(cmdLine);
    QString text;
    for (const QtArgCmdLine::Unit &unit : cmdLine.units())
        text += unitUsage(unit, names);
    return text;
}

QString helpLines(const QtArgCmdLine &cmdLine)
{
    const QStringList names = allNames(cmdLine);
    int flagWidth = 0;
    int namesWidth = 0;
    for (const QtArg *arg : cmdLine.arguments()) {
        flagWidth = std::max(flagWidth, flagText(*arg).size());
        namesWidth = std::max(namesWidth, namesText(*arg, names).size());
    }
    QString text;
    for (const QtArg *arg : cmdLine.arguments()) {
        const QString flagColumn = arg->hasFlag()
            ? "  " + flagText(*arg).leftJustified(flagWidth) + ", "
            : QString(flagWidth + 4, ' ');
        text += (flagColumn + namesText(*arg, names))
                    .leftJustified(flagWidth + 4 + namesWidth + columnGap)
            + arg->description() + '\n';
    }
    return text;
}

QString singleOptionHelp(const QtArg &arg)
{
    const QString flag = arg.hasFlag() ? flagText(arg) + ", " : QString();
    return "\nUSAGE: " + flag + "--" + arg.name() + valueText(arg)
        + "\n\nDESCRIPTION: " + arg.description() + '\n';
}

QString unknown(const QString &argument)
{
    return QString("Unknown argument: %1\n").arg(argument);
}

QString longOptionHelp(const QtArgCmdLine &cmdLine, const QString &name)
{
    if (name.isEmpty())
        return "Empty argument name.\n";
    const QtArg *arg = cmdLine.findLong(name).arg;
    return arg ? singleOptionHelp(*arg) : unknown("--" + name);
}

QString flagOptionHelp(const QtArgCmdLine &cmdLine, const QString &letters)
{
    if (letters.isEmpty())
        return "Empty flag.\n";
    const QtArg *arg = letters.size() == 1 ? cmdLine.findFlag(letters.at(0)) : nullptr;
    return arg ? singleOptionHelp(*arg) : unknown('-' + letters);
}

} // namespace

QString QtArgDefaultHelpPrinter::help(const QtArgCmdLine &cmdLine) const
{
    return programDescription + "\n\nUSAGE: " + cmdLine.programName() + ' ' + usage(cmdLine)
        + "\n\n" + helpLines(cmdLine);
}

QString QtArgDefaultHelpPrinter::optionHelp(const QtArgCmdLine &cmdLine, const QString &token) const
{
    if (token.startsWith("--"))
        return longOptionHelp(cmdLine, token.mid(2));
    if (token.startsWith('-'))
        return flagOptionHelp(cmdLine, token.mid(1));
    return longOptionHelp(cmdLine, token);
}
