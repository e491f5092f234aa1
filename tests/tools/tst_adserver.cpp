// SPDX-FileCopyrightText: 2026 The Tumblox developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "adserverprocess.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QSignalSpy>
#include <QTcpSocket>
#include <QTest>

namespace {

const QString AdPath = QStringLiteral("/simpleM2M/clientRequestAd");
const QString LogoPath = QStringLiteral("/inneractive_logo.png");

} // namespace

class TstAdServer : public QObject
{
    Q_OBJECT

private slots:
    void answers_data();
    void answers();
};

void TstAdServer::answers_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QByteArray>("sentFirst"); // a bad request on a connection of its own
    QTest::addColumn<QStringList>("paths"); // the last one is checked
    QTest::addColumn<QString>("outcome"); // the status, "none", "cut short", or "refused" to start
    QTest::addColumn<QByteArray>("contains");
    QTest::addColumn<QByteArray>("lacks");
    QTest::addColumn<qsizetype>("size"); // -1: any

    const auto row = [](const char *name, const QStringList &args, const QStringList &paths, const char *outcome,
                        const QByteArray &contains, const QByteArray &lacks = {}, qsizetype size = -1) {
        QTest::newRow(name) << args << QByteArray() << paths << QString::fromLatin1(outcome) << contains << lacks << size;
    };
    const auto badRequest = [](const char *name, const QByteArray &bytes) {
        QTest::newRow(name) << QStringList() << bytes << QStringList{LogoPath} << "200" << QByteArray("\x89PNG") << QByteArray() << qsizetype(-1);
    };
    const auto fault = [](const char *mode) { return QStringList{"--fault", mode}; };
    row("no fault", {}, {AdPath}, "200", "<image>http://127.0.0.1:");
    row("no-fill", fault("no-fill"), {AdPath}, "200", "<client Id=", "<ad>");
    row("malformed", fault("malformed"), {AdPath}, "200", "<ad>", "</Response>");
    row("http-error, logo", fault("http-error"), {LogoPath}, "500", "");
    row("hang", fault("hang"), {AdPath}, "none", "", "", 0);
    row("oversize", fault("oversize"), {"/ads/oversize.png"}, "200", "\x89PNG", "", 3 * 1024 * 1024);
    row("bad-scheme", fault("bad-scheme"), {AdPath}, "200", "<image>file:///etc/passwd", "http");
    row("truncate", fault("truncate"), {"/ads/ad3.gif"}, "cut short", "GIF89a");
    row("redirect", fault("redirect"), {AdPath}, "302", "/moved" + AdPath.toLatin1());
    row("big-answer", fault("big-answer"), {AdPath}, "200", "<ad>", "", 16 * 1024 + 1);
    row("answer-size", {"--answer-size", "16384"}, {AdPath}, "200", "</Response>", "", 16 * 1024);
    row("endless", fault("endless"), {AdPath}, "none", "<Response>" + QByteArray(1024, ' '));
    row("fault-count, first ad", {"--fault", "http-error", "--fault-count", "1"}, {LogoPath, AdPath}, "500", "");
    row("fault-count, later ad", {"--fault", "no-fill", "--fault-count", "1"}, {AdPath, AdPath}, "200", "<ad>");
    row("unknown fault", fault("slow"), {AdPath}, "refused", "");
    const QStringList status304 = {"--fault", "status", "--status", "304", "--fault-path", "/ads/"};
    row("status 300 with a page", {"--fault", "status", "--status", "300"}, {LogoPath}, "300", "<html>");
    row("status 304 on its path, without body", status304, {"/ads/ad1.png"}, "304", "", "", 0);
    row("status 304 on another path", status304, {LogoPath}, "200", "\x89PNG");
    row("status out of range", {"--fault", "status", "--status", "600"}, {LogoPath}, "refused", "");
    badRequest("garbage", QByteArray("\x01\x02 NOT HTTP \x00\r\n\r\n", 17));
    badRequest("huge header", "GET / HTTP/1.1\r\nX-Big: " + QByteArray(200 * 1024, 'a') + "\r\n\r\n");
    badRequest("huge body", "POST / HTTP/1.1\r\nContent-Length: 100000000\r\n\r\n" + QByteArray(512 * 1024, 'b'));
}

// Each mode answers as --help says; bad requests leave the server serving.
void TstAdServer::answers()
{
    QFETCH(QStringList, args);
    QFETCH(QByteArray, sentFirst);
    QFETCH(QStringList, paths);
    QFETCH(QString, outcome);
    QFETCH(QByteArray, contains);
    QFETCH(QByteArray, lacks);
    QFETCH(qsizetype, size);

    if (outcome == "refused") { // the helper would end the test program
        QProcess refused;
        refused.start(QStringLiteral(TUMBLOX_ADSERVER_PATH), QStringList{QStringLiteral("--port"), QStringLiteral("0")} + args);
        QVERIFY(refused.waitForFinished() && refused.exitStatus() == QProcess::NormalExit && refused.exitCode() != 0);
        QCOMPARE(refused.readAllStandardOutput(), QByteArray());
        return;
    }
    AdServerProcess server(args);
    if (!sentFirst.isEmpty()) {
        QTcpSocket socket;
        socket.connectToHost(QHostAddress::LocalHost, quint16(QUrl(server.url()).port()));
        QVERIFY(socket.waitForConnected(5000));
        socket.write(sentFirst);
        QTRY_VERIFY(socket.bytesToWrite() == 0 || socket.state() != QAbstractSocket::ConnectedState);
    }
    QNetworkAccessManager network;
    QNetworkReply *reply = nullptr;
    QByteArray body;
    for (const QString &path : paths) {
        QNetworkRequest request(QUrl(server.url() + path));
        request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
        request.setTransferTimeout(size == 0 ? 100 : 0); // where no byte may come, a short silence shows it
        reply = network.get(request);
        body.clear();
        connect(reply, &QNetworkReply::readyRead, reply, [reply, &body] {
            body += reply->readAll();
            if (body.size() >= 4 * 1024 * 1024) // so an answer without end ends too
                reply->abort();
        });
        QVERIFY(QSignalSpy(reply, &QNetworkReply::finished).wait(10000));
    }
    const QString status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toString();
    const bool cutShort = reply->error() == QNetworkReply::RemoteHostClosedError;
    QCOMPARE(reply->error() == QNetworkReply::OperationCanceledError ? "none" : cutShort ? "cut short" : status, outcome);
    QVERIFY2(body.contains(contains), body.left(200).constData());
    QVERIFY(lacks.isEmpty() || !body.contains(lacks));
    QVERIFY(size < 0 || body.size() == size);
}

QTEST_GUILESS_MAIN(TstAdServer)
#include "tst_adserver.moc"
