#pragma once

#include <QByteArray>
#include <QString>

#include <google/protobuf/arena.h>

#include <stdexcept>
#include <vector>

class JClass;

/// A gold file opened for lookups: its bytes read and checked in one pass, its class records
/// indexed by name, and each record parsed only when it is first asked for. A run that looks up
/// a few hundred of the thousands of classes a gold file lists pays for those few.
class GoldFile
{
public:
    /// What is thrown for bytes that do not parse as one JClasses message.
    class Damaged : public std::runtime_error
    {
    public:
        using std::runtime_error::runtime_error;
    };

    /// Reads and checks the whole file. Refuses, logged at ERROR and thrown as
    /// std::runtime_error, every file that a parse of the whole message would refuse, and for
    /// the same reasons; bytes that do not parse are thrown as Damaged.
    explicit GoldFile(const QString &path);
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
    /// The file as read, for a reader that wants every record at once.
    const QByteArray &getBytes() const { return bytes; }

private:
    struct Record
    {
        int offset = 0;
        int size = 0;
        int nameOffset = 0;
        int nameSize = 0;
    };
    class Scan;

    QLatin1String nameOf(const Record &record) const;

    QString path;
    QByteArray bytes;
    std::vector<Record> records; // file order
    std::vector<int> byName; // record indexes by name, file order among equal names
    google::protobuf::Arena arena; // owns the parsed records
    std::vector<JClass *> parsed; // by record index; null until parsed
};
