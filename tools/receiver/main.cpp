#include "tools/receiver/ReportReceiver.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QHostAddress>
#include <QTextStream>
#include <optional>

namespace {

struct Arguments
{
    QHostAddress address;
    quint16 port = 0;
    ReceiverSettings settings;
};

QTextStream &standardOutput()
{
    static QTextStream out(stdout);
    return out;
}

/// Reads the command line; prints what is wrong and gives nothing when it cannot be used.
std::optional<Arguments> parseArguments(const QCoreApplication &app)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        "Reporting host of the DRAV Java Conformance Tester: receives the results that\n"
        "javaconformance --host HOST --port PORT sends, one report per connection, and saves\n"
        "each as report-N.bin (the message) and report-N.txt (the text form of results.txt).");
    parser.addHelpOption();
    const QCommandLineOption address("address", "Address to listen on.", "address", "127.0.0.1");
    const QCommandLineOption port(
        "port", "TCP port to listen on; 0 picks a free one.", "port", "7070");
    const QCommandLineOption dir(
        "dir", "Directory for the reports; created if missing.", "dir", ".");
    const QCommandLineOption timeout("timeout",
                                     "Milliseconds a sender has for its whole report, from the "
                                     "connection on.",
                                     "ms",
                                     "10000");
    parser.addOptions({ address, port, dir, timeout });
    parser.process(app);

    Arguments arguments;
    QTextStream err(stderr);
    bool portOk = false;
    const uint portValue = parser.value(port).toUInt(&portOk);
    bool timeoutOk = false;
    arguments.settings.deadlineMs = parser.value(timeout).toInt(&timeoutOk);
    arguments.settings.directory = parser.value(dir);
    if (!arguments.address.setAddress(parser.value(address))) {
        err << "Not an IP address: " << parser.value(address) << "\n";
    } else if (!portOk || portValue > 65535) {
        err << "Not a port number: " << parser.value(port) << "\n";
    } else if (!timeoutOk || arguments.settings.deadlineMs <= 0) {
        err << "Not a timeout in milliseconds: " << parser.value(timeout) << "\n";
    } else if (!QDir().mkpath(arguments.settings.directory)) {
        err << "Cannot create the report directory " << arguments.settings.directory << "\n";
    } else {
        arguments.port = quint16(portValue);
        return arguments;
    }
    return std::nullopt;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const std::optional<Arguments> arguments = parseArguments(app);
    if (!arguments)
        return 1;

    ReportReceiver receiver(arguments->settings);
    if (!receiver.listen(arguments->address, arguments->port)) {
        QTextStream(stderr) << "Could not listen on " << arguments->address.toString() << ":"
                            << arguments->port << ": " << receiver.errorString() << "\n";
        return 1;
    }
    QObject::connect(&receiver, &ReportReceiver::line, [](const QString &text) {
        standardOutput() << text << Qt::endl;
    });
    standardOutput() << "Listening on " << arguments->address.toString() << ":"
                     << receiver.serverPort() << ", saving reports in "
                     << QDir(arguments->settings.directory).absolutePath() << Qt::endl;
    return app.exec();
}
