#pragma once

#include <QObject>
#include <QString>
#include <QTcpServer>

class QHostAddress;
class TestResultGroup;

/// What the receiver accepts, and where it saves.
struct ReceiverSettings
{
    /// Where report-N.bin and report-N.txt are written; must exist.
    QString directory;
    /// A sender silent for this long loses its connection.
    int idleTimeoutMs = 10000;
    /// Longest message accepted; a real result tree is far smaller.
    qint32 maxLength = 64 * 1024 * 1024;
    /// Reports received at the same time; more connections are refused at once.
    int maxConnections = 16;
};

/// The reporting host: accepts any number of report connections, one report each, and saves
/// every well-formed report in binary and text form. Tells each outcome in one line.
class ReportReceiver : public QObject
{
    Q_OBJECT
public:
    explicit ReportReceiver(const ReceiverSettings &settings, QObject *parent = nullptr);

    bool listen(const QHostAddress &address, quint16 port);
    quint16 serverPort() const { return server.serverPort(); }
    QString errorString() const { return server.errorString(); }

signals:
    /// A report saved, a report rejected, or a connection refused.
    void line(const QString &text);

private:
    void acceptConnections();
    void save(const QString &peer, const QByteArray &message);
    int takeFreeNumber();
    QString reportPath(int number, const char *extension) const;
    QString writeFiles(int number, const QByteArray &message, const TestResultGroup &tree) const;

    const ReceiverSettings settings;
    QTcpServer server;
    int openConnections = 0;
    int nextNumber = 1;
};
