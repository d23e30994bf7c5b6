#include "app/QtArgCmdLine.h"

#include "app/QtArg.h"
#include "app/QtArgDeclarationEx.h"
#include "app/QtArgUnexpectedOptionEx.h"
#include "app/QtArgUnknownArgumentEx.h"
#include "app/QtXorArg.h"

namespace {

const QString longPrefix = QStringLiteral("--");

/// The member a unit offers for a name: an exact match, else its first member starting with it.
QtArg *answer(const QtArgCmdLine::Unit &unit, const QString &name)
{
    QtArg *prefixMatch = nullptr;
    for (QtArg *member : unit.members) {
        if (member->name() == name)
            return member;
        if (!prefixMatch && member->name().startsWith(name))
            prefixMatch = member;
    }
    return prefixMatch;
}

/// Splits a token at its first "=": the part after is read next, usually as the option's value.
QString splitAtEquals(const QString &token, QStringList &remaining)
{
    const int equals = token.indexOf('=');
    if (equals < 0)
        return token;
    remaining.prepend(token.mid(equals + 1));
    return token.left(equals);
}

} // namespace

QtArgCmdLine::QtArgCmdLine(int argc, char **argv)
    : program(argc > 0 ? QString::fromLocal8Bit(argv[0]) : QString())
{
    for (int i = 1; i < argc; ++i)
        tokens << QString::fromLocal8Bit(argv[i]);
}

QtArgCmdLine::QtArgCmdLine(const QString &programName, const QStringList &tokens)
    : program(programName)
    , tokens(tokens)
{
}

void QtArgCmdLine::addArg(QtArg &arg)
{
    addUnit({ { &arg }, nullptr });
}

void QtArgCmdLine::addArg(QtXorArg &group)
{
    addUnit({ group.members(), &group });
}

void QtArgCmdLine::addUnit(const Unit &unit)
{
    const QList<QtArg *> known = arguments();
    for (const QtArg *arg : unit.members) {
        if (arg->name().isEmpty())
            throw QtArgDeclarationEx("An argument without a name was registered.");
        for (const QtArg *other : known) {
            if (other->name() == arg->name())
                throw QtArgDeclarationEx(
                    QString("Argument name registered twice: %1").arg(arg->name()));
            if (arg->hasFlag() && other->flag() == arg->flag())
                throw QtArgDeclarationEx(
                    QString("Argument flag registered twice: %1").arg(arg->flag()));
        }
    }
    registered << unit;
}

QList<QtArg *> QtArgCmdLine::arguments() const
{
    QList<QtArg *> all;
    for (const Unit &unit : registered)
        all << unit.members;
    return all;
}

QtArgCmdLine::Match QtArgCmdLine::findLong(const QString &name) const
{
    Match match;
    int answers = 0;
    for (const Unit &unit : registered) {
        QtArg *arg = answer(unit, name);
        if (!arg)
            continue;
        if (arg->name() == name)
            return { arg, false };
        if (++answers == 1)
            match.arg = arg;
    }
    if (answers > 1)
        return { nullptr, true };
    return match;
}

QtArg *QtArgCmdLine::findFlag(QChar letter) const
{
    for (QtArg *arg : arguments()) {
        if (arg->hasFlag() && arg->flag() == letter)
            return arg;
    }
    return nullptr;
}

void QtArgCmdLine::parse()
{
    QStringList remaining = tokens;
    QString lastOption;
    while (!remaining.isEmpty()) {
        const QString token = splitAtEquals(remaining.takeFirst(), remaining);
        if (token == longPrefix)
            return;
        if (token.startsWith(longPrefix)) {
            lastOption = token;
            meetLong(token, remaining);
        } else if (token.startsWith('-')) {
            meetFlags(token, remaining, lastOption);
        } else {
            throw QtArgUnexpectedOptionEx(token, lastOption);
        }
    }
    checkUnits();
}

void QtArgCmdLine::meetLong(const QString &token, QStringList &remaining)
{
    const QString name = token.mid(longPrefix.size());
    const Match match = findLong(name);
    if (match.ambiguous)
        throw QtArgUnknownArgumentEx(longPrefix + name);
    if (!match.arg)
        throw QtArgUnknownArgumentEx(token);
    match.arg->meet(remaining);
}

void QtArgCmdLine::meetFlags(const QString &token, QStringList &remaining, QString &lastOption)
{
    for (const QChar letter : token.mid(1)) {
        lastOption = QString('-') + letter;
        QtArg *arg = findFlag(letter);
        if (!arg)
            throw QtArgUnknownArgumentEx(lastOption);
        arg->meet(remaining);
    }
}

void QtArgCmdLine::checkUnits() const
{
    for (const Unit &unit : registered) {
        for (const QtArg *member : unit.members)
            member->check();
        if (unit.group)
            unit.group->check();
    }
}
