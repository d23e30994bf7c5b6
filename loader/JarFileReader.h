#pragma once

#include "loader/ZipDirectory.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>
#include <QVector>

#include <functional>
#include <memory>
#include <vector>

class QFile;

/// Reads the class entries of one jar file as a Java runtime reads them: the central directory
/// lists the entries (ZipDirectory), and an entry is a class only under the exact name a class
/// loader would look it up by (ClassEntryName). Entries are read from where the directory places
/// them, in any order; the file is open only while something is read, so a component of
/// thousands of jars holds no file open between reads.
class JarFileReader
{
public:
    /// Jar entries larger than this are refused rather than held in memory (no class file comes
    /// close; a hostile header or a compression bomb could claim gigabytes).
    static constexpr qint64 maxClassBytes = 64 << 20;

    explicit JarFileReader(const QString &path);
    ~JarFileReader();
    JarFileReader(const JarFileReader &) = delete;
    JarFileReader &operator=(const JarFileReader &) = delete;

    /// Descriptor texts of the classes, each once, in central directory order.
    const QStringList &getClassNames() const { return classNames; }
    /// Whether the jar holds a class of this descriptor text; answered without reading the file.
    bool holds(const QString &name) const { return entriesOf.contains(name); }
    /// Why a Java runtime would not open the jar at all; empty when it would, or when the file
    /// could not be opened in the first place.
    const QString &getProblem() const { return problem; }
    /// Class entries below META-INF/versions/, which are not classes to a Java 8 runtime.
    int getLaterReleaseEntries() const { return laterReleaseEntries; }
    /// As Java names the entry of a class ("p/Main") in a jar: "lib.jar!/p/Main.class".
    QString getClassFilePath(const QString &internalName) const;

    /// Bytes of the class: null when there is none or it cannot be read, empty (with a warning)
    /// when the entry is empty. A class the jar holds twice or more is read from every copy:
    /// identical copies are one class with a warning, different ones an input not read.
    QByteArray readClass(const QString &name);

    /// Hands the bytes of every class held once to visit, with the name's position in
    /// getClassNames(), in order, with the file opened once. Classes held more than once, empty
    /// entries and entries that cannot be read are left out without a word: readClass reports
    /// them when asked.
    void readAllClasses(const std::function<void(int position, const QByteArray &bytes)> &visit);

private:
    void listEntries(const ZipDirectory &directory);
    std::unique_ptr<QFile> open() const;
    QByteArray readEntry(const ZipDirectory::Reader &read, int index, QString &problem) const;
    QByteArray
    readCopies(const ZipDirectory::Reader &read, const QString &name, const QVector<int> &copies);
    QByteArray cannotRead(const QString &name, const QString &problem) const;
    QString entryPath(const QString &name) const;

    QString path;
    QString problem;
    std::vector<ZipDirectory::Entry> entries;
    QStringList classNames;
    QHash<QString, QVector<int>> entriesOf; // name -> its entries, in directory order
    int laterReleaseEntries = 0;
};
