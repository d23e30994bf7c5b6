#include "app/QtArgHelp.h"

#include "app/QtArgHelpHasPrintedEx.h"

#include <cstdio>

QtArgHelp::QtArgHelp(const QtArgCmdLine *cmdLine)
    : QtArg("help", "Print this help.", NoValue, 'h')
    , cmdLine(cmdLine)
{
}

void QtArgHelp::meet(QStringList &remaining)
{
    const QString text = remaining.isEmpty()
        ? helpPrinter.help(*cmdLine)
        : helpPrinter.optionHelp(*cmdLine, remaining.takeFirst());
    const QByteArray bytes = text.toLocal8Bit();
    std::fwrite(bytes.constData(), 1, bytes.size(), stdout);
    std::fflush(stdout);
    throw QtArgHelpHasPrintedEx();
}
