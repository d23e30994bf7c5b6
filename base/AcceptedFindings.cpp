#include "base/AcceptedFindings.h"

#include "base/PrintableText.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

namespace {

// A list a person writes stays far below this; anything larger is no such list.
constexpr qint64 maxFileBytes = 16 * 1024 * 1024;

const QString lineForms = "a line is \"finding: TEXT\", \"classes: NAMES\" or \"reason: TEXT\"";

// The summary's count of classes, which changes as the component does.
QString withoutClassCount(const QString &text)
{
    static const QRegularExpression count(", (?:used by|in) \\d+ class(?:es)?$");
    return QString(text).remove(count);
}

/// Reads entries line by line; the first problem sticks and names its line.
class Reader
{
public:
    Reader(const QString &fileName, QList<AcceptedFindings::Entry> &entries)
        : fileName(fileName)
        , entries(entries)
    {
    }

    void readLine(int number, const QString &line)
    {
        const QString trimmed = line.trimmed();
        if (trimmed.isEmpty() || trimmed.startsWith('#'))
            return;
        const int colon = trimmed.indexOf(':');
        const QString key = trimmed.left(colon).trimmed();
        const QString value = trimmed.mid(colon + 1).trimmed();
        if (colon < 0)
            fail(number, lineForms);
        else if (key == "finding")
            startEntry(number, value);
        else if (key == "classes" || key == "reason")
            addToEntry(number, key, value);
        else
            fail(number, QString("unknown key \"%1\": %2").arg(key, lineForms));
    }

    /// Checks the last entry once the file has ended.
    void finish() { checkReason(); }

    /// "FILE:LINE: what is wrong"; empty while all is well.
    QString getError() const { return error; }

private:
    void startEntry(int number, const QString &text)
    {
        checkReason();
        if (text.isEmpty())
            fail(number, "the finding is empty: copy its line from the summary");
        entries.append({ number, withoutClassCount(text), {}, {} });
    }

    void addToEntry(int number, const QString &key, const QString &value)
    {
        if (entries.isEmpty())
            return fail(number, QString("\"%1:\" before any \"finding:\"").arg(key));
        AcceptedFindings::Entry &entry = entries.last();
        if (key == "classes") {
            entry.classes << value.split(QRegularExpression("[\\s,]+"), Qt::SkipEmptyParts);
        } else if (!entry.reason.isEmpty()) {
            fail(number, QString("a second reason for the finding \"%1\"").arg(entry.text));
        } else {
            entry.reason = value;
        }
    }

    // A finding accepted without a word on why cannot be reviewed later.
    void checkReason()
    {
        if (!entries.isEmpty() && entries.last().reason.isEmpty())
            fail(entries.last().line,
                 QString("the finding \"%1\" has no reason: add \"reason: why it is accepted\"")
                     .arg(entries.last().text));
    }

    void fail(int number, const QString &what)
    {
        if (error.isEmpty())
            error = QString("%1:%2: %3").arg(fileName).arg(number).arg(what);
    }

    const QString fileName;
    QList<AcceptedFindings::Entry> &entries;
    QString error;
};

} // namespace

bool AcceptedFindings::read(const QString &path, QString *error)
{
    fileName = path;
    entries.clear();
    // Opening a FIFO would wait for a writer forever.
    const QFileInfo info(path);
    QFile file(path);
    if (!info.isFile() || !file.open(QIODevice::ReadOnly)) {
        const QString why = !info.exists() ? "no such file"
            : !info.isFile()               ? "it is not a regular file"
                                           : file.errorString();
        *error = QString("The accepted findings file %1 cannot be read: %2").arg(path, why);
        return false;
    }
    if (file.size() > maxFileBytes) {
        *error = QString("The accepted findings file %1 is larger than %2 MiB: it is no list of "
                         "findings")
                     .arg(path)
                     .arg(maxFileBytes / (1024 * 1024));
        return false;
    }
    Reader reader(path, entries);
    const QStringList lines = QString::fromUtf8(file.readAll()).split('\n');
    for (int i = 0; i < lines.size() && reader.getError().isEmpty(); ++i)
        reader.readLine(i + 1, lines.at(i));
    reader.finish();
    *error = reader.getError();
    return error->isEmpty();
}

int AcceptedFindings::match(const QString &text, const QString &className) const
{
    // The file is copied from the summary, which prints names escaped.
    const QString printed = PrintableText::escape(text);
    const QString printedClass = PrintableText::escape(className);
    for (int i = 0; i < entries.size(); ++i) {
        const Entry &entry = entries.at(i);
        if (entry.text == printed
            && (entry.classes.isEmpty() || entry.classes.contains(printedClass)))
            return i;
    }
    return -1;
}

QString AcceptedFindings::placeOf(int entry) const
{
    return QString("%1:%2").arg(fileName).arg(entries.at(entry).line);
}
