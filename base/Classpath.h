#pragma once

#include <QString>
#include <QStringList>

/// An ordered list of classpath entries (jar files, directories, gold files) in search order.
/// Entries are kept exactly as given: no trimming, normalising, de-duplication or existence check.
class Classpath : public QStringList
{
public:
    Classpath() = default;
    /// Splits at every ":" and drops empty pieces.
    explicit Classpath(const QString &text);

    void append(const QString &text);
    void append(const QStringList &entries);

    QString toString() const;
};
