// SPDX-FileCopyrightText: 2026 The Tumblox developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include <QDomDocument>
#include <QSet>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QProcess>
#include <QSignalSpy>
#include <QTcpSocket>
#include <QTest>
#include <QUrlQuery>

#include <algorithm>

namespace {

constexpr qint64 clientImageLimit = 2 * 1024 * 1024;
const QString adPath = QStringLiteral("/simpleM2M/clientRequestAd");

// The ad server binary as a child process, with its address and log.
class ServerProcess
{
public:
    ~ServerProcess()
    {
        process.kill();
        process.waitForFinished();
    }

    bool start(const QStringList &args)
    {
        process.start(QStringLiteral(TUMBLOX_ADSERVER_PATH), args);
        if (!QTest::qWaitFor([this] { return !lines().isEmpty(); }, 5000))
            return false;
        const QString first = lines().constFirst();
        url = QUrl(first.section(u' ', -1));
        return first.startsWith(QLatin1String("tumblox-adserver listening on http://127.0.0.1:"))
               && url.port() > 0;
    }

    QStringList lines()
    {
        output += process.readAllStandardOutput();
        QStringList all = QString::fromUtf8(output).split(u'\n');
        all.removeLast(); // the unfinished line
        return all;
    }

    QStringList log() { return lines().mid(1); }

    QProcess process;
    QUrl url;

private:
    QByteArray output;
};

struct Fetched
{
    QNetworkReply::NetworkError error = QNetworkReply::NoError;
    int status = 0;
    QByteArray body;
    QByteArray mimeType;
    QUrl location;
};

struct AdAnswer
{
    bool wellFormed = false;
    QString clientId;
    bool hasAd = false;
    QUrl link;
    QUrl image;
    QString text;
};

AdAnswer parse(const QByteArray &body)
{
    AdAnswer answer;
    QDomDocument document;
    answer.wellFormed = bool(document.setContent(body, true));
    const QDomElement root = document.documentElement();
    answer.clientId = root.firstChildElement(QStringLiteral("client")).attribute(QStringLiteral("Id"));
    const QDomElement ad = root.firstChildElement(QStringLiteral("ad"));
    answer.hasAd = !ad.isNull();
    answer.text = ad.firstChildElement(QStringLiteral("text")).text();
    answer.link = QUrl(ad.firstChildElement(QStringLiteral("url")).text());
    answer.image = QUrl(ad.firstChildElement(QStringLiteral("image")).text());
    return answer;
}

enum class Expect { NoAd, NotWellFormed, ServerError, Oversize, BadScheme, Truncated, Redirect, TimesOut };

} // namespace

Q_DECLARE_METATYPE(Expect)

class TstAdServer : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void servesFiles_data();
    void servesFiles();
    void clientId_data();
    void clientId();
    void rotatesThreeAds();
    void logsEveryRequest();
    void faults_data();
    void faults();
    void survivesBadRequests_data();
    void survivesBadRequests();
    void rejectsBadArguments_data();
    void rejectsBadArguments();

private:
    Fetched get(const QUrl &url, int timeoutMs = 0, const QByteArray &userAgent = "tst_adserver");
    QUrl at(const QString &pathAndQuery) const { return server.url.resolved(QUrl(pathAndQuery)); }

    QNetworkAccessManager network;
    ServerProcess server;
};

Fetched TstAdServer::get(const QUrl &url, int timeoutMs, const QByteArray &userAgent)
{
    QNetworkRequest request(url);
    request.setRawHeader("User-Agent", userAgent);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    request.setTransferTimeout(timeoutMs);
    QNetworkReply *reply = network.get(request);
    QSignalSpy finished(reply, &QNetworkReply::finished);
    if (!reply->isFinished())
        finished.wait(10000);
    Fetched fetched{reply->error(),
                    reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(),
                    reply->isOpen() ? reply->readAll() : QByteArray(),
                    reply->header(QNetworkRequest::ContentTypeHeader).toByteArray(),
                    reply->header(QNetworkRequest::LocationHeader).toUrl()};
    reply->deleteLater();
    return fetched;
}

void TstAdServer::initTestCase()
{
    QVERIFY(server.start({QStringLiteral("--port"), QStringLiteral("0")}));
}

void TstAdServer::servesFiles_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QByteArray>("mimeType");
    QTest::addColumn<QByteArray>("signature");

    QTest::newRow("logo") << "/inneractive_logo.png" << QByteArray("image/png") << QByteArray("\x89PNG");
    QTest::newRow("png ad") << "/ads/ad2.png" << QByteArray("image/png") << QByteArray("\x89PNG");
    QTest::newRow("gif ad") << "/ads/ad3.gif" << QByteArray("image/gif") << QByteArray("GIF89a");
    QTest::newRow("landing") << "/landing/3" << QByteArray("text/html") << QByteArray("<!DOCTYPE html>");
}

void TstAdServer::servesFiles()
{
    QFETCH(QString, path);
    QFETCH(QByteArray, mimeType);
    QFETCH(QByteArray, signature);

    const Fetched fetched = get(at(path));
    QCOMPARE(fetched.status, 200);
    QVERIFY(fetched.mimeType.startsWith(mimeType));
    QVERIFY(fetched.body.startsWith(signature));
}

void TstAdServer::clientId_data()
{
    QTest::addColumn<QString>("cid");
    QTest::addColumn<bool>("echoed");

    QTest::newRow("none") << QString() << false;
    QTest::newRow("known") << "3f2a-77c1" << true;
    QTest::newRow("not ours") << "<a b>" << false;
}

void TstAdServer::clientId()
{
    QFETCH(QString, cid);
    QFETCH(bool, echoed);

    QUrl url = at(adPath);
    if (!cid.isNull())
        url.setQuery(QUrlQuery{{QStringLiteral("aid"), QStringLiteral("x")}, {QStringLiteral("cid"), cid}});
    const AdAnswer first = parse(get(url).body);
    const AdAnswer second = parse(get(url).body);
    QVERIFY(first.wellFormed);
    QVERIFY(!first.clientId.isEmpty());
    QCOMPARE(first.clientId == cid, echoed);
    QCOMPARE(first.clientId == second.clientId, echoed);
}

void TstAdServer::rotatesThreeAds()
{
    QList<QUrl> images;
    for (int i = 0; i < 4; ++i) {
        const AdAnswer answer = parse(get(at(adPath)).body);
        QVERIFY(answer.hasAd);
        QVERIFY(!answer.text.isEmpty());
        QCOMPARE(answer.image.adjusted(QUrl::RemovePath), server.url);
        QCOMPARE(answer.link.adjusted(QUrl::RemovePath), server.url);
        QCOMPARE(get(answer.link).status, 200);
        QCOMPARE(get(answer.image).status, 200);
        images << answer.image;
    }
    QCOMPARE(images.at(3), images.at(0));
    images.removeLast();
    QCOMPARE(QSet<QUrl>(images.cbegin(), images.cend()).size(), 3);
    QVERIFY(std::any_of(images.cbegin(), images.cend(),
                        [](const QUrl &image) { return image.path().endsWith(QLatin1String(".gif")); }));
}

void TstAdServer::logsEveryRequest()
{
    const int before = server.log().size();
    get(at(QStringLiteral("/inneractive_logo.png")), 0, "Tumblox/1.0 (X11; Linux)");
    get(at(adPath + QStringLiteral("?aid=a%20b&po=551&cid=c1")), 0, "Tumblox/1.0 (X11; Linux)");
    QTRY_COMPARE(server.log().size(), before + 2);
    QCOMPARE(server.log().mid(before),
             QStringList({QStringLiteral("GET /inneractive_logo.png \"Tumblox/1.0 (X11; Linux)\""),
                          QStringLiteral("GET %1?aid=a%20b&po=551&cid=c1 \"Tumblox/1.0 (X11; Linux)\"")
                              .arg(adPath)}));
}

void TstAdServer::faults_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("path");
    QTest::addColumn<Expect>("expect");

    const auto fault = [](const char *mode) {
        return QStringList{QStringLiteral("--fault"), QString::fromLatin1(mode)};
    };
    QTest::newRow("no-fill") << fault("no-fill") << adPath << Expect::NoAd;
    QTest::newRow("malformed") << fault("malformed") << adPath << Expect::NotWellFormed;
    QTest::newRow("http-error ad") << fault("http-error") << adPath << Expect::ServerError;
    QTest::newRow("http-error logo") << fault("http-error") << "/inneractive_logo.png" << Expect::ServerError;
    QTest::newRow("oversize") << fault("oversize") << adPath << Expect::Oversize;
    QTest::newRow("bad-scheme") << fault("bad-scheme") << adPath << Expect::BadScheme;
    QTest::newRow("truncate ad") << fault("truncate") << adPath << Expect::Truncated;
    QTest::newRow("truncate image") << fault("truncate") << "/ads/ad3.gif" << Expect::Truncated;
    QTest::newRow("redirect ad") << fault("redirect") << adPath << Expect::Redirect;
    QTest::newRow("redirect image") << fault("redirect") << "/ads/ad1.png" << Expect::Redirect;
    QTest::newRow("hang") << fault("hang") << adPath << Expect::TimesOut;
    QTest::newRow("delay") << QStringList{QStringLiteral("--delay-ms"), QStringLiteral("5000")} << adPath
                           << Expect::TimesOut;
}

void TstAdServer::faults()
{
    QFETCH(QStringList, args);
    QFETCH(QString, path);
    QFETCH(Expect, expect);

    ServerProcess faulty;
    QVERIFY(faulty.start(args << QStringLiteral("--port") << QStringLiteral("0")));
    const QUrl url = faulty.url.resolved(QUrl(path));
    const Fetched fetched = get(url, expect == Expect::TimesOut ? 300 : 0);
    const AdAnswer answer = parse(fetched.body);
    switch (expect) {
    case Expect::NoAd:
        QVERIFY(answer.wellFormed);
        QVERIFY(!answer.clientId.isEmpty());
        QVERIFY(!answer.hasAd);
        break;
    case Expect::NotWellFormed:
        QCOMPARE(fetched.status, 200);
        QVERIFY(!answer.wellFormed);
        break;
    case Expect::ServerError:
        QCOMPARE(fetched.status, 500);
        break;
    case Expect::Oversize:
        QVERIFY(get(answer.image).body.size() > clientImageLimit);
        break;
    case Expect::BadScheme:
        QCOMPARE(answer.image.scheme(), QStringLiteral("file"));
        QCOMPARE(answer.link.scheme(), QStringLiteral("javascript"));
        break;
    case Expect::Truncated:
        QCOMPARE(fetched.error, QNetworkReply::RemoteHostClosedError);
        break;
    case Expect::Redirect:
        QCOMPARE(fetched.status, 302);
        QCOMPARE(fetched.location.adjusted(QUrl::RemovePath), faulty.url);
        QVERIFY(fetched.location.path().endsWith(path));
        QCOMPARE(get(fetched.location).status, 200);
        break;
    case Expect::TimesOut:
        QCOMPARE(fetched.error, QNetworkReply::OperationCanceledError);
        QTRY_COMPARE(faulty.log().size(), 1);
        break;
    }
}

void TstAdServer::survivesBadRequests_data()
{
    QTest::addColumn<QByteArray>("bytes");

    QTest::newRow("garbage") << QByteArray("\x01\x02 NOT HTTP \x00\r\n\r\n", 17);
    QTest::newRow("huge header") << "GET / HTTP/1.1\r\nX-Big: " + QByteArray(200 * 1024, 'a') + "\r\n\r\n";
    QTest::newRow("huge body") << "POST / HTTP/1.1\r\nContent-Length: 100000000\r\n\r\n"
                                      + QByteArray(512 * 1024, 'b');
    QTest::newRow("no host") << QByteArray("GET /simpleM2M/clientRequestAd HTTP/1.0\r\n\r\n");
}

void TstAdServer::survivesBadRequests()
{
    QFETCH(QByteArray, bytes);

    QTcpSocket socket;
    socket.connectToHost(server.url.host(), quint16(server.url.port()));
    QVERIFY(socket.waitForConnected(5000));
    socket.write(bytes);
    QTRY_VERIFY(socket.bytesToWrite() == 0 || socket.state() != QAbstractSocket::ConnectedState);
    QCOMPARE(get(at(QStringLiteral("/inneractive_logo.png"))).status, 200);
    QCOMPARE(server.process.state(), QProcess::Running);
}

void TstAdServer::rejectsBadArguments_data()
{
    QTest::addColumn<QStringList>("args");

    QTest::newRow("port not a number") << QStringList{QStringLiteral("--port"), QStringLiteral("x")};
    QTest::newRow("port too big") << QStringList{QStringLiteral("--port"), QStringLiteral("65536")};
    QTest::newRow("negative delay") << QStringList{QStringLiteral("--delay-ms"), QStringLiteral("-1")};
    QTest::newRow("unknown fault") << QStringList{QStringLiteral("--fault"), QStringLiteral("slow")};
    QTest::newRow("port taken") << QStringList{QStringLiteral("--port")};
}

void TstAdServer::rejectsBadArguments()
{
    QFETCH(QStringList, args);

    if (args.size() == 1)
        args << QString::number(server.url.port());
    QProcess process;
    process.start(QStringLiteral(TUMBLOX_ADSERVER_PATH), args);
    QVERIFY(process.waitForFinished(5000));
    QVERIFY(process.exitCode() != 0);
    QVERIFY(process.readAllStandardOutput().isEmpty());
    QVERIFY(!process.readAllStandardError().isEmpty());
}

QTEST_GUILESS_MAIN(TstAdServer)
#include "tst_adserver.moc"
