#pragma once

#include "goldformat/FileBytes.h"

#include <QByteArray>
#include <QString>

#include <google/protobuf/arena.h>

#include <memory>
#include <stdexcept>
#include <vector>

class JClass;

/// A gold file opened for lookups: its bytes read and checked in one pass, its class records
/// indexed by name, and each record parsed only when it is first asked for. A run that looks up
/// a few hundred of the thousands of classes a gold file lists pays for those few.
class GoldFile
{
public:
    /// What is thrown for a record that the check took and the parser then refused: the two
    /// judge alike, so only a fault of the program gets here.
    class Damaged : public std::runtime_error
    {
    public:
        using std::runtime_error::runtime_error;
    };

    /// A file opened, or why not, for the caller to log and report where it handles it.
    struct Opened
    {
        std::unique_ptr<GoldFile> file; // null when it was refused
        QString problem; // "Could not open file data/j2se8.javagold for reading"
        bool damaged = false; // read, but its bytes do not parse as one JClasses message
    };

    /// Reads and checks the whole file. Refuses every file that a parse of the whole message
    /// would refuse, and for the same reasons, and logs nothing.
    static Opened open(const QString &path);
    GoldFile(const GoldFile &) = delete;
    GoldFile &operator=(const GoldFile &) = delete;

    /// The class records in file order, duplicates included.
    int getRecordCount() const { return int(records.size()); }
    /// The name of a record, read as the program reads gold-file text: one character per byte.
    QString getName(int index) const;
    /// The first record of exactly that name, or -1.
    int indexOf(const QString &name) const;
    /// The record, parsed on its first request; it lives as long as this file.
    const JClass &getRecord(int index);
    /// The file as read, for a reader that wants every record at once; valid while this file is.
    QByteArray getBytes() const { return bytes.view(); }

private:
    explicit GoldFile(const QString &path);

    struct Record
    {
        int offset = 0;
        int size = 0;
        int nameOffset = 0;
        int nameSize = 0;
    };
    class Scan;

    void index(std::vector<Record> &&found);

    QLatin1String nameOf(const Record &record) const;

    QString path;
    FileBytes bytes;
    std::vector<Record> records; // file order
    std::vector<int> byName; // record indexes by name, file order among equal names
    google::protobuf::Arena arena; // owns the parsed records
    std::vector<JClass *> parsed; // by record index; null until parsed
};
