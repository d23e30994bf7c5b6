#pragma once

#include "app/QtArg.h"
#include "app/QtArgDefaultHelpPrinter.h"

/// The "--help" / "-h" option: prints the whole help, or the help of the option named by the
/// token that follows it, to standard output and ends parsing with QtArgHelpHasPrintedEx.
class QtArgHelp : public QtArg
{
public:
    /// cmdLine: the parser whose options are described; not owned.
    explicit QtArgHelp(const QtArgCmdLine *cmdLine);

    QtArgDefaultHelpPrinter &printer() { return helpPrinter; }

    void meet(QStringList &remaining) override;

private:
    const QtArgCmdLine *cmdLine;
    QtArgDefaultHelpPrinter helpPrinter;
};
