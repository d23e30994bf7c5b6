#include "app/QtArg.h"

#include "app/QtArgNotDefinedMandatoryEx.h"
#include "app/QtArgNotDefinedValueEx.h"

QtArg::QtArg(const QString &name,
             const QString &description,
             ValueKind valueKind,
             QChar flag,
             Presence presence)
    : argName(name)
    , argDescription(description)
    , valueKind(valueKind)
    , argFlag(flag)
    , presence(presence)
{
}

void QtArg::meet(QStringList &remaining)
{
    defined = true;
    if (!takesValue())
        argValue = QStringLiteral("true");
    else if (remaining.isEmpty())
        argValue = QString(); // reported by check() once the whole line has been read
    else
        argValue = remaining.takeFirst();
}

void QtArg::check() const
{
    if (defined && argValue.isNull())
        throw QtArgNotDefinedValueEx(argName);
    if (presence == Mandatory && !defined)
        throw QtArgNotDefinedMandatoryEx(argName);
}
