// SPDX-FileCopyrightText: 2026 The Tumblox developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "adserver.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <cstdio>
#include <optional>

namespace {

const char description[] =
    "Development ad server for Tumblox. Serves the ad network's logo at\n"
    "/inneractive_logo.png, answers /simpleM2M/clientRequestAd with an XML ad\n"
    "that rotates through three house ads, and serves their images and landing\n"
    "pages. Prints one line with its address once it listens, then one line per\n"
    "request: method, path with query, and the quoted User-Agent.\n"
    "\n"
    "Fault modes (--fault):\n"
    "  no-fill     the ad answer has a client Id but no ad\n"
    "  malformed   the ad answer is not well-formed XML (its root is not closed)\n"
    "  http-error  every request is answered with status 500\n"
    "  hang        every connection is accepted and never answered\n"
    "  oversize    the ad's image is a 3 MiB PNG, over the client's 2 MiB limit\n"
    "  bad-scheme  the ad's image is file:///etc/passwd, its link a javascript: URL\n"
    "  truncate    every answer announces its full Content-Length and the\n"
    "              connection closes halfway through the body\n"
    "  redirect    every request is answered with 302 to the same path under\n"
    "              /moved, which is served normally\n"
    "  big-answer  the ad answer is a usable ad padded to 16 KiB + 1 bytes, one\n"
    "              over the client's limit\n"
    "  endless     every answer is streamed without Content-Length and never\n"
    "              ends; the server writes for as long as the client reads\n"
    "  status      every request is answered with the status that --status\n"
    "              names (default 204), with a short HTML page where HTTP\n"
    "              allows a body\n"
    "\n"
    "With --fault-count N, only the first N ad requests meet the fault; later\n"
    "ad requests and every other request are served normally. With\n"
    "--fault-path PATH, the requests for paths that start with PATH meet it\n"
    "instead of the ad requests, and --fault-count counts those.";

struct Options
{
    quint16 port = 8517;
    int delayMs = 0;
    int faultCount = -1;
    int answerSize = 0;
    int status = 204;
    QString faultPath;
    AdServer::Fault fault = AdServer::Fault::None;
};

void fail(const QString &message)
{
    std::fprintf(stderr, "tumblox-adserver: %s\n", qPrintable(message));
}

std::optional<Options> parseOptions(const QCoreApplication &app)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QString::fromLatin1(description));
    parser.addHelpOption();
    const QCommandLineOption portOption(QStringLiteral("port"),
        QStringLiteral("Port on 127.0.0.1; 0 picks a free one (default 8517)."), QStringLiteral("N"),
        QStringLiteral("8517"));
    const QCommandLineOption delayOption(QStringLiteral("delay-ms"),
        QStringLiteral("Wait N milliseconds before every answer."), QStringLiteral("N"),
        QStringLiteral("0"));
    const QCommandLineOption faultOption(QStringLiteral("fault"),
        QStringLiteral("Inject a fault: %1.").arg(AdServer::faultNames().join(QStringLiteral(", "))),
        QStringLiteral("MODE"));
    const QCommandLineOption faultCountOption(QStringLiteral("fault-count"),
        QStringLiteral("Only the first N ad requests meet the fault (default: every request)."),
        QStringLiteral("N"));
    const QCommandLineOption answerSizeOption(QStringLiteral("answer-size"),
        QStringLiteral("Pad shorter ad answers with blanks to N bytes (default 0)."), QStringLiteral("N"),
        QStringLiteral("0"));
    const QCommandLineOption statusOption(QStringLiteral("status"),
        QStringLiteral("The HTTP status of the fault mode status, from 200 to 599 (default 204)."),
        QStringLiteral("N"), QStringLiteral("204"));
    const QCommandLineOption faultPathOption(QStringLiteral("fault-path"),
        QStringLiteral("Only requests for paths that start with PATH meet the fault (default: as --fault-count says)."),
        QStringLiteral("PATH"));
    parser.addOptions({portOption, delayOption, faultOption, faultCountOption, answerSizeOption, statusOption,
                       faultPathOption});
    parser.process(app);

    Options options;
    bool ok = false;
    const uint port = parser.value(portOption).toUInt(&ok);
    if (!ok || port > 65535) {
        fail(QStringLiteral("--port wants a number from 0 to 65535"));
        return std::nullopt;
    }
    options.port = quint16(port);
    options.delayMs = parser.value(delayOption).toInt(&ok);
    if (!ok || options.delayMs < 0) {
        fail(QStringLiteral("--delay-ms wants a number of milliseconds, 0 or more"));
        return std::nullopt;
    }
    options.answerSize = parser.value(answerSizeOption).toInt(&ok);
    if (!ok || options.answerSize < 0) {
        fail(QStringLiteral("--answer-size wants a number of bytes, 0 or more"));
        return std::nullopt;
    }
    if (parser.isSet(faultOption)) {
        const auto fault = AdServer::faultFromName(parser.value(faultOption));
        if (!fault) {
            fail(QStringLiteral("unknown fault mode; see --help"));
            return std::nullopt;
        }
        options.fault = *fault;
    }
    options.status = parser.value(statusOption).toInt(&ok);
    if (!ok || options.status < 200 || options.status > 599) {
        fail(QStringLiteral("--status wants an HTTP status from 200 to 599"));
        return std::nullopt;
    }
    options.faultPath = parser.value(faultPathOption);
    if (parser.isSet(faultPathOption) && !options.faultPath.startsWith(u'/')) {
        fail(QStringLiteral("--fault-path wants a path that starts with /"));
        return std::nullopt;
    }
    if (parser.isSet(faultCountOption)) {
        options.faultCount = parser.value(faultCountOption).toInt(&ok);
        if (!ok || options.faultCount < 0) {
            fail(QStringLiteral("--fault-count wants a number of ad requests, 0 or more"));
            return std::nullopt;
        }
    }
    return options;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("tumblox-adserver"));
    const std::optional<Options> options = parseOptions(app);
    if (!options)
        return 2;

    AdServer server(options->fault, options->delayMs, options->faultCount, options->answerSize);
    server.setFaultStatus(options->status);
    server.setFaultPath(options->faultPath);
    if (!server.listen(options->port)) {
        fail(QStringLiteral("cannot listen on 127.0.0.1:%1").arg(options->port));
        return 1;
    }
    std::printf("tumblox-adserver listening on %s\n", qPrintable(server.address().toString()));
    std::fflush(stdout);
    return app.exec();
}
