// SPDX-FileCopyrightText: 2026 The Tumblox developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "adserverprocess.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <QUrlQuery>

namespace {

const QString UserAgent = QStringLiteral(
    "Mozilla/5.0 (X11; U; Linux armv7l; fi-FI; rv:1.9.2a1pre) Gecko/20090928 "
    "Firefox/3.5 Maemo Browser 1.4.1.15 RX-51 N900");

// One server log line: GET /path?query "agent"
struct Request
{
    QString method;
    QUrl target;
    QString agent;

    explicit Request(const QString &line)
        : method(line.section(u' ', 0, 0))
        , target(line.section(u' ', 1, 1))
        , agent(line.section(u'"', 1, -2))
    {
    }
};

} // namespace

// The real game against the real development ad server, as a player starts it.
class TestGameSmoke : public QObject
{
    Q_OBJECT

private slots:
    void firstAdIsFetched();
};

void TestGameSmoke::firstAdIsFetched()
{
    AdServerProcess server({}, AdServerProcess::KeepLog);
    QVERIFY(!server.url().isEmpty());
    QTemporaryDir home;
    QVERIFY(home.isValid());

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("TUMBLOX_AD_SERVER"), server.url());
    environment.insert(QStringLiteral("HOME"), home.path());
    for (const char *name : { "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_RUNTIME_DIR" }) {
        const QString dir = home.filePath(QLatin1String(name));
        QVERIFY(QDir().mkpath(dir));
        QFile::setPermissions(dir, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        environment.insert(QLatin1String(name), dir);
    }
    QProcess game;
    game.setProcessEnvironment(environment);
    game.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    const qint64 started = QDateTime::currentSecsSinceEpoch();
    game.start(QStringLiteral(TUMBLOX_GAME_PATH), QStringList());
    QVERIFY(game.waitForStarted());

    // Logo, ad answer, image: the image is the third request.
    QTRY_VERIFY_WITH_TIMEOUT(server.requests().size() >= 3 || game.state() != QProcess::Running,
                             20000);
    QCOMPARE(game.state(), QProcess::Running);
    const QStringList log = server.requests();
    const Request logo(log.at(0));
    const Request answer(log.at(1));
    const Request image(log.at(2));
    for (const Request &request : { logo, answer, image }) {
        QCOMPARE(request.method, QStringLiteral("GET"));
        QCOMPARE(request.agent, UserAgent);
    }
    QCOMPARE(logo.target.path(), QStringLiteral("/inneractive_logo.png"));

    QCOMPARE(answer.target.path(), QStringLiteral("/simpleM2M/clientRequestAd"));
    const QUrlQuery query(answer.target);
    QStringList keys;
    for (const auto &item : query.queryItems())
        keys << item.first;
    QCOMPARE(keys, QStringList({ "aid", "v", "o", "po", "k", "c", "time" }));
    QCOMPARE(query.queryItemValue("aid"), QStringLiteral("Quillo_Tumblox_QT"));
    QCOMPARE(query.queryItemValue("v"), QStringLiteral("Sm2m-1.5.2-QT_1.5.2"));
    QCOMPARE(query.queryItemValue("o"), QStringLiteral("true"));
    QCOMPARE(query.queryItemValue("po"), QStringLiteral("551"));
    QCOMPARE(query.queryItemValue("k", QUrl::FullyDecoded),
             QStringLiteral("games, puzzle, tetraminos, tetra, tetris, adventure, classic, brain, "
                            "free, fun, challenge"));
    QCOMPARE(query.queryItemValue("c"), QStringLiteral("Games"));
    const qint64 time = query.queryItemValue("time").toLongLong();
    QVERIFY2(time >= started && time <= QDateTime::currentSecsSinceEpoch(),
             qPrintable(query.queryItemValue("time")));

    QVERIFY(image.target.path() != logo.target.path());
    QVERIFY(image.target.path() != answer.target.path());
    QVERIFY2(image.target.path().endsWith(QLatin1String(".png"))
                 || image.target.path().endsWith(QLatin1String(".gif")),
             qPrintable(image.target.toString()));

    game.kill();
    QVERIFY(game.waitForFinished());
}

QTEST_GUILESS_MAIN(TestGameSmoke)
#include "tst_gamesmoke.moc"
