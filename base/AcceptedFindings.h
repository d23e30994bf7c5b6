#pragma once

#include <QList>
#include <QString>
#include <QStringList>

/// The findings an integrator has judged acceptable for a component, each with the reason, read
/// from a file given on the command line:
///
///     # guava 31.1, reviewed 2026-12-01
///     finding: sun.misc.Unsafe not found
///     classes: com.google.common.hash.Striped64 com.google.common.cache.Striped64
///     reason: Every use is guarded; guava falls back to plain Java without Unsafe.
///
/// "finding:" starts an entry with the text the summary prints (a trailing "used by N classes" is
/// left out); "classes:" lines, optional, limit it to those classes; "reason:" is required. What
/// an entry accepts is decided where the findings are read; this only reads and matches.
class AcceptedFindings
{
public:
    struct Entry
    {
        int line = 0; // of its "finding:" line
        QString text;
        QStringList classes; // empty: in every class
        QString reason;
    };

    /// Reads the file; false with "FILE:LINE: what is wrong" (or why the file cannot be read) in
    /// error when it is not a list of entries.
    bool read(const QString &path, QString *error);

    bool isEmpty() const { return entries.isEmpty(); }
    QString getFileName() const { return fileName; }
    const QList<Entry> &getEntries() const { return entries; }
    /// The first entry that accepts the finding (as the summary prints it) in the class, or -1.
    int match(const QString &text, const QString &className) const;
    /// "FILE:LINE" of an entry, as messages name it.
    QString placeOf(int entry) const;

private:
    QString fileName;
    QList<Entry> entries;
};
