#pragma once

#include <QList>
#include <QString>

class QtArg;

/// A named group of mutually exclusive options, registered with the parser as one unit.
/// The group itself is never mandatory; it does not own its members.
class QtXorArg
{
public:
    QtXorArg(const QString &name, const QList<QtArg *> &members);

    QString name() const { return groupName; }
    const QList<QtArg *> &members() const { return groupMembers; }

    /// Fails when two members were given, naming the first two in group order.
    void check() const;

private:
    QString groupName;
    QList<QtArg *> groupMembers;
};
