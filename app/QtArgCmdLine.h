#pragma once

#include <QList>
#include <QString>
#include <QStringList>

class QtArg;
class QtXorArg;

/// The command-line parser: options and groups are registered in order, then parse() reads the
/// tokens into them or throws a QtArgBaseException with the message for the user.
/// Registered options and groups are not owned and must outlive the parser.
class QtArgCmdLine
{
public:
    /// A registration unit: a plain option (one member, no group) or a mutually exclusive group.
    struct Unit
    {
        QList<QtArg *> members;
        const QtXorArg *group = nullptr;
    };

    /// The outcome of looking up a long name: the option, or none (unknown or ambiguous).
    struct Match
    {
        QtArg *arg = nullptr;
        bool ambiguous = false;
    };

    /// argv[0] is the program name as typed; the tokens are argv[1] onwards, in the local 8-bit
    /// encoding.
    QtArgCmdLine(int argc, char **argv);
    QtArgCmdLine(const QString &programName, const QStringList &tokens);

    void addArg(QtArg &arg);
    void addArg(QtXorArg &group);

    /// Reads every token, then makes the end-of-line checks in registration order.
    /// A lone "--" ends the parse at once, without those checks.
    void parse();

    QString programName() const { return program; }
    const QList<Unit> &units() const { return registered; }
    /// Every option, group members included, in registration order.
    QList<QtArg *> arguments() const;

    /// Exact name first; otherwise the one option whose name starts with name (a group offers
    /// only its first such member).
    Match findLong(const QString &name) const;
    QtArg *findFlag(QChar letter) const;

private:
    void addUnit(const Unit &unit);
    void meetLong(const QString &token, QStringList &remaining);
    void meetFlags(const QString &token, QStringList &remaining, QString &lastOption);
    void checkUnits() const;

    QString program;
    QStringList tokens;
    QList<Unit> registered;
};
