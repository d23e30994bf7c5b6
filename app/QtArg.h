#pragma once

#include <QChar>
#include <QString>
#include <QStringList>

/// One long option ("--name"), optionally with a one-letter flag ("-x") and a value. The parser
/// records here whether and how it was given; the caller reads it back after parsing.
class QtArg
{
public:
    enum ValueKind { NoValue, TakesValue };
    enum Presence { Optional, Mandatory };

    QtArg(const QString &name,
          const QString &description,
          ValueKind valueKind = NoValue,
          QChar flag = QChar(),
          Presence presence = Optional);
    virtual ~QtArg() = default;

    QString name() const { return argName; }
    QChar flag() const { return argFlag; }
    bool hasFlag() const { return !argFlag.isNull(); }
    QString description() const { return argDescription; }
    bool takesValue() const { return valueKind == TakesValue; }

    /// Whether the option appeared on the command line (with or without its value).
    bool isDefined() const { return defined; }
    /// The value of the last occurrence; null when none was given.
    QString value() const { return argValue; }

    /// Called by the parser when it meets the option; an option that takes a value consumes the
    /// next token whole, whatever it looks like. The last occurrence wins.
    virtual void meet(QStringList &remaining);
    /// The end-of-line checks: a value that never came, a mandatory option that never came.
    void check() const;

private:
    QString argName;
    QString argDescription;
    ValueKind valueKind;
    QChar argFlag;
    Presence presence;
    bool defined = false;
    QString argValue;
};
