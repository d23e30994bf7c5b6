#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <QTcpServer>
#include <QThreadPool>
#include <atomic>

class QHostAddress;
class ReportConnection;

/// What the receiver accepts, and where it saves.
struct ReceiverSettings
{
    /// Where report-N.bin and report-N.txt are written; must exist.
    QString directory;
    /// Time a sender has for its whole report, from the connection on.
    int deadlineMs = 10000;
    /// Longest message accepted; a real result tree is far smaller.
    qint32 maxLength = 64 * 1024 * 1024;
    /// Reports received at the same time; a further connection makes room by dropping the
    /// oldest.
    int maxConnections = 16;
};

/// The reporting host: accepts any number of report connections, one report each, and saves
/// every well-formed report in binary and text form. Tells each outcome in one line.
/// Messages are received into files and turned into text on a thread of their own, so that
/// neither the size of a report nor its text holds up the other connections.
class ReportReceiver : public QObject
{
    Q_OBJECT
public:
    explicit ReportReceiver(const ReceiverSettings &settings, QObject *parent = nullptr);
    ~ReportReceiver() override;

    bool listen(const QHostAddress &address, quint16 port);
    quint16 serverPort() const { return server.serverPort(); }
    QString errorString() const { return server.errorString(); }

signals:
    /// A report saved or rejected.
    void line(const QString &text);

private:
    void acceptConnections();
    void release(ReportConnection *connection);
    void save(const QString &peer, const QString &messagePath);
    QString saveReport(const QString &peer, const QString &messagePath);
    int claimNumber();
    QString reportPath(int number, const char *extension) const;
    QString writeFiles(int number, const QString &messagePath, const QByteArray &message) const;

    const ReceiverSettings settings;
    QTcpServer server;
    /// The connections being received, oldest first; owned through the Qt parent, this.
    QList<ReportConnection *> connections;
    /// Where the search for a free report number starts; claimed on the saving thread.
    std::atomic<int> nextNumber { 1 };
    /// One saving thread, so that reports are numbered in the order they arrived. Declared last:
    /// destroyed first, it waits for the reports still being saved.
    QThreadPool saver;
};
