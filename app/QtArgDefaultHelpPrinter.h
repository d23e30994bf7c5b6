#pragma once

#include <QString>

class QtArg;
class QtArgCmdLine;

/// Formats the help texts of a parser's options: the whole help (description, usage line and one
/// aligned line per option) and the help of a single option named on the command line.
class QtArgDefaultHelpPrinter
{
public:
    void setProgramDescription(const QString &description) { programDescription = description; }

    QString help(const QtArgCmdLine &cmdLine) const;
    /// token: "--name", a bare name (abbreviations allowed) or "-" and a flag letter.
    /// An unusable token gives the message for the user instead.
    QString optionHelp(const QtArgCmdLine &cmdLine, const QString &token) const;

private:
    QString programDescription;
};
