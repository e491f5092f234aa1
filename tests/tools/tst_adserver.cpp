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

// The client's tests meet every fault mode; here is what they cannot tell
// apart: exact sizes, refusals, and bad requests.
void TstAdServer::answers_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QByteArray>("sentFirst"); // a bad request on a connection of its own
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("outcome"); // the status, or "refused" to start
    QTest::addColumn<QByteArray>("contains");
    QTest::addColumn<qsizetype>("size"); // -1: any

    const auto row = [](const char *name, const QStringList &args, const QString &path, const char *outcome,
                        const QByteArray &contains, qsizetype size = -1) {
        QTest::newRow(name) << args << QByteArray() << path << QString::fromLatin1(outcome) << contains << size;
    };
    const auto badRequest = [](const char *name, const QByteArray &bytes) {
        QTest::newRow(name) << QStringList() << bytes << LogoPath << "200" << QByteArray("\x89PNG") << qsizetype(-1);
    };
    row("answer-size", {"--answer-size", "16384"}, AdPath, "200", "</Response>", 16 * 1024);
    row("big-answer", {"--fault", "big-answer"}, AdPath, "200", "<ad>", 16 * 1024 + 1);
    row("unknown fault", {"--fault", "slow"}, AdPath, "refused", "");
    row("status out of range", {"--fault", "status", "--status", "600"}, LogoPath, "refused", "");
    badRequest("garbage", QByteArray("\x01\x02 NOT HTTP \x00\r\n\r\n", 17));
    badRequest("huge header", "GET / HTTP/1.1\r\nX-Big: " + QByteArray(200 * 1024, 'a') + "\r\n\r\n");
    badRequest("huge body", "POST / HTTP/1.1\r\nContent-Length: 100000000\r\n\r\n" + QByteArray(512 * 1024, 'b'));
}

// Each mode answers as --help says; bad requests leave the server serving.
void TstAdServer::answers()
{
    QFETCH(QStringList, args);
    QFETCH(QByteArray, sentFirst);
    QFETCH(QString, path);
    QFETCH(QString, outcome);
    QFETCH(QByteArray, contains);
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
    QNetworkReply *reply = network.get(QNetworkRequest(QUrl(server.url() + path)));
    QVERIFY(QSignalSpy(reply, &QNetworkReply::finished).wait(10000));
    const QByteArray body = reply->readAll();
    QCOMPARE(reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toString(), outcome);
    QVERIFY2(body.contains(contains), body.left(200).constData());
    QVERIFY(size < 0 || body.size() == size);
}

QTEST_GUILESS_MAIN(TstAdServer)
#include "tst_adserver.moc"
