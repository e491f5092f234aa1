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
// Reading stops here, so an answer without end ends too.
constexpr qsizetype ReadLimit = 4 * 1024 * 1024;

} // namespace

class TstAdServer : public QObject
{
    Q_OBJECT

private slots:
    void faults_data();
    void faults();
    void survivesBadRequests_data();
    void survivesBadRequests();

private:
    QNetworkReply::NetworkError get(const QUrl &url, int *status, QByteArray *body);

    QNetworkAccessManager network;
};

// Nothing arriving for a second counts as no answer.
QNetworkReply::NetworkError TstAdServer::get(const QUrl &url, int *status, QByteArray *body)
{
    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    request.setTransferTimeout(1000);
    QNetworkReply *reply = network.get(request);
    body->clear();
    connect(reply, &QNetworkReply::readyRead, reply, [reply, body] {
        *body += reply->readAll();
        if (body->size() >= ReadLimit)
            reply->abort();
    });
    QSignalSpy finished(reply, &QNetworkReply::finished);
    if (!reply->isFinished())
        finished.wait(10000);
    *status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    reply->deleteLater();
    return reply->error();
}

void TstAdServer::faults_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QStringList>("paths"); // the last one is checked
    QTest::addColumn<QString>("outcome"); // the status, "none", "cut short", or "refused" to start
    QTest::addColumn<QByteArray>("contains");
    QTest::addColumn<QByteArray>("lacks");
    QTest::addColumn<qsizetype>("size"); // -1: any

    const auto row = [](const char *name, const QStringList &args, const QStringList &paths, const char *outcome,
                        const QByteArray &contains, const QByteArray &lacks = {}, qsizetype size = -1) {
        QTest::newRow(name) << args << paths << QString::fromLatin1(outcome) << contains << lacks << size;
    };
    const auto fault = [](const char *mode) { return QStringList{"--fault", mode}; };
    const auto once = [](const char *mode) { return QStringList{"--fault", mode, "--fault-count", "1"}; };
    const QStringList ad{AdPath};
    row("no fault", {}, ad, "200", "<image>http://127.0.0.1:");
    row("no-fill", fault("no-fill"), ad, "200", "<client Id=", "<ad>");
    row("malformed", fault("malformed"), ad, "200", "<ad>", "</Response>");
    row("http-error, logo", fault("http-error"), {LogoPath}, "500", "");
    row("hang", fault("hang"), ad, "none", "", "", 0);
    row("delay", {"--delay-ms", "5000"}, ad, "none", "", "", 0);
    row("oversize, answer", fault("oversize"), ad, "200", "/ads/oversize.png");
    row("oversize, image", fault("oversize"), {"/ads/oversize.png"}, "200", "\x89PNG", "", 3 * 1024 * 1024);
    row("bad-scheme", fault("bad-scheme"), ad, "200", "<image>file:///etc/passwd", "http");
    row("truncate", fault("truncate"), {"/ads/ad3.gif"}, "cut short", "GIF89a");
    row("redirect", fault("redirect"), ad, "302", "/moved" + AdPath.toLatin1());
    row("redirect, moved", fault("redirect"), {"/moved" + AdPath}, "200", "<ad>");
    row("big-answer", fault("big-answer"), ad, "200", "<ad>", "", 16 * 1024 + 1);
    row("endless", fault("endless"), ad, "none", "<Response>" + QByteArray(1024, ' '));
    row("fault-count, first ad", once("http-error"), {LogoPath, AdPath}, "500", "");
    row("fault-count, later ad", once("no-fill"), {AdPath, AdPath}, "200", "<ad>");
    row("fault-count 0", {"--fault", "hang", "--fault-count", "0"}, ad, "200", "<ad>");
    row("negative fault-count", {"--fault", "hang", "--fault-count", "-1"}, ad, "refused", "");
    row("unknown fault", fault("slow"), ad, "refused", "");
    row("negative delay", {"--delay-ms", "-1"}, ad, "refused", "");
}

// Each mode answers as --help describes it.
void TstAdServer::faults()
{
    QFETCH(QStringList, args);
    QFETCH(QStringList, paths);
    QFETCH(QString, outcome);
    QFETCH(QByteArray, contains);
    QFETCH(QByteArray, lacks);
    QFETCH(qsizetype, size);

    AdServerProcess server(args);
    QCOMPARE(server.url().isEmpty(), outcome == "refused");
    if (server.url().isEmpty())
        return;
    int status = 0;
    QByteArray body;
    QNetworkReply::NetworkError error = QNetworkReply::NoError;
    for (const QString &path : paths)
        error = get(QUrl(server.url() + path), &status, &body);
    if (error == QNetworkReply::OperationCanceledError)
        QCOMPARE(outcome, QStringLiteral("none"));
    else if (error == QNetworkReply::RemoteHostClosedError)
        QCOMPARE(outcome, QStringLiteral("cut short"));
    else
        QCOMPARE(QString::number(status), outcome);
    QVERIFY2(body.contains(contains), body.left(200).constData());
    QVERIFY(lacks.isEmpty() || !body.contains(lacks));
    QVERIFY(size < 0 || body.size() == size);
}

void TstAdServer::survivesBadRequests_data()
{
    QTest::addColumn<QByteArray>("bytes");

    QTest::newRow("garbage") << QByteArray("\x01\x02 NOT HTTP \x00\r\n\r\n", 17);
    QTest::newRow("huge header") << "GET / HTTP/1.1\r\nX-Big: " + QByteArray(200 * 1024, 'a') + "\r\n\r\n";
    QTest::newRow("huge body") << "POST / HTTP/1.1\r\nContent-Length: 100000000\r\n\r\n" + QByteArray(512 * 1024, 'b');
    QTest::newRow("no host") << QByteArray("GET /simpleM2M/clientRequestAd HTTP/1.0\r\n\r\n");
}

void TstAdServer::survivesBadRequests()
{
    QFETCH(QByteArray, bytes);

    AdServerProcess server;
    const QUrl url(server.url());
    QTcpSocket socket;
    socket.connectToHost(url.host(), quint16(url.port()));
    QVERIFY(socket.waitForConnected(5000));
    socket.write(bytes);
    QTRY_VERIFY(socket.bytesToWrite() == 0 || socket.state() != QAbstractSocket::ConnectedState);
    int status = 0;
    QByteArray body;
    QCOMPARE(get(url.resolved(QUrl(LogoPath)), &status, &body), QNetworkReply::NoError);
    QVERIFY(body.startsWith("\x89PNG"));
}

QTEST_GUILESS_MAIN(TstAdServer)
#include "tst_adserver.moc"
