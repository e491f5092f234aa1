// SPDX-FileCopyrightText: 2026 The Tumblox developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The whole game against a broken ad server: for each of the development
// server's fault modes, at start-up and on a reload during a game, what the
// player sees, and that nothing was asked of any address but the server's.
#include "adserverprocess.h"
#include "blockdropboard.h"
#include "blockdropboardtestaccess.h"
#include "blockdropwindow.h"
#include "inneractiveadmodule.h"
#include "inneractiveadmoduletestaccess.h"

#include <QApplication>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUrl>

#include <memory>

namespace {

const int Wait = 10000;
// Long enough for a loopback answer, short enough for a test.
const int HangLimitMs = 300;
const QString LogoPath = QStringLiteral("/inneractive_logo.png");
const QString AdPath = QStringLiteral("/simpleM2M/clientRequestAd");
const QString OversizePath = QStringLiteral("/ads/oversize.png");
const QString SentinelPath = QStringLiteral("/sentinel");

enum class Seen {
    Loading, // the loading screen stays; New Game stays disabled
    NetworkScreen, // the "Network connection needed" screen covers the game
    NoAds, // the game goes on, and New Game starts one without an ad
};

QPushButton *button(QWidget &window, const QString &text)
{
    for (QPushButton *b : window.findChildren<QPushButton *>()) {
        if (b->text() == text)
            return b;
    }
    return nullptr;
}

bool networkScreenShown(BlockDropBoardTestAccess &t)
{
    QWidget *screen = t.networkErrorWidget();
    return screen && screen->isVisible() && screen->isFullScreen()
           && button(*screen, QStringLiteral("Network connection needed"));
}

// Rejects and counts any modal dialog, so an ad that should not come
// cannot hold the test for its countdown.
class DialogGuard
{
public:
    int shown = 0;

    DialogGuard()
    {
        poll.setInterval(10);
        QObject::connect(&poll, &QTimer::timeout, [this] {
            if (QWidget *modal = QApplication::activeModalWidget()) {
                ++shown;
                modal->close();
            }
        });
        poll.start();
    }

private:
    QTimer poll;
};

} // namespace

Q_DECLARE_METATYPE(Seen)

// The ad client's record, to see that no local file found its way in.
class TestAdFaults : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void faults_data();
    void faults();

private:
    QStringList pathsRequested(AdServerProcess &server, qsizetype from);

    QTemporaryDir home;
    QNetworkAccessManager network;
};

void TestAdFaults::initTestCase()
{
    QVERIFY(home.isValid());
    // The client's stored identity goes here; QSettings reads it on first use.
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.path()));
}

// The paths the server was asked for from its log line `from` on. A request
// of our own goes last and is waited for, so whatever the game asked before
// it is in the log.
QStringList TestAdFaults::pathsRequested(AdServerProcess &server, qsizetype from)
{
    std::unique_ptr<QNetworkReply> sentinel(network.get(QNetworkRequest(QUrl(server.url() + SentinelPath))));
    const auto sentinelLogged = [&server, from] {
        return !server.requests().mid(from).filter(QStringLiteral("GET ") + SentinelPath).isEmpty();
    };
    if (!QTest::qWaitFor(sentinelLogged, Wait))
        return { QStringLiteral("<the server never logged the last request>") };
    sentinel->abort();

    QStringList paths;
    for (const QString &line : server.requests().mid(from)) {
        const QString path = QUrl(line.section(u' ', 1, 1)).path();
        if (path == SentinelPath)
            break;
        paths.append(path);
    }
    return paths;
}

void TestAdFaults::faults_data()
{
    QTest::addColumn<QString>("fault");
    // Whether the first ad arrives from a sound server before the fault.
    QTest::addColumn<bool>("duringGame");
    QTest::addColumn<Seen>("seen");
    QTest::addColumn<QStringList>("requested");

    const QStringList logoAndAd{ LogoPath, AdPath };
    QTest::newRow("no-fill at start-up") << "no-fill" << false << Seen::Loading << logoAndAd;
    QTest::newRow("malformed at start-up") << "malformed" << false << Seen::Loading << logoAndAd;
    QTest::newRow("http-error at start-up") << "http-error" << false << Seen::NetworkScreen << QStringList{ LogoPath };
    QTest::newRow("hang at start-up") << "hang" << false << Seen::NetworkScreen << QStringList{ LogoPath };
    QTest::newRow("oversize at start-up") << "oversize" << false << Seen::NetworkScreen
                                          << QStringList{ LogoPath, AdPath, OversizePath };
    // The answer names file:///etc/passwd as the image: nothing follows it.
    QTest::newRow("bad-scheme at start-up") << "bad-scheme" << false << Seen::Loading << logoAndAd;
    QTest::newRow("truncate at start-up") << "truncate" << false << Seen::NetworkScreen << QStringList{ LogoPath };
    // A redirect is the stage's answer and is not followed.
    QTest::newRow("redirect at start-up") << "redirect" << false << Seen::Loading << logoAndAd;

    const QStringList ad{ AdPath };
    QTest::newRow("no-fill during a game") << "no-fill" << true << Seen::NoAds << ad;
    QTest::newRow("malformed during a game") << "malformed" << true << Seen::NoAds << ad;
    QTest::newRow("http-error during a game") << "http-error" << true << Seen::NetworkScreen << ad;
    QTest::newRow("hang during a game") << "hang" << true << Seen::NetworkScreen << ad;
    QTest::newRow("oversize during a game") << "oversize" << true << Seen::NetworkScreen
                                            << QStringList{ AdPath, OversizePath };
    QTest::newRow("bad-scheme during a game") << "bad-scheme" << true << Seen::NoAds << ad;
    QTest::newRow("truncate during a game") << "truncate" << true << Seen::NetworkScreen << ad;
    QTest::newRow("redirect during a game") << "redirect" << true << Seen::NoAds << ad;
}

void TestAdFaults::faults()
{
    QFETCH(QString, fault);
    QFETCH(bool, duringGame);
    QFETCH(Seen, seen);
    QFETCH(QStringList, requested);

    const QStringList faultArguments{ QStringLiteral("--fault"), fault };
    auto server = std::make_unique<AdServerProcess>(duringGame ? QStringList() : faultArguments,
                                                    AdServerProcess::KeepLog);
    QVERIFY(!server->url().isEmpty());
    qputenv("TUMBLOX_AD_SERVER", server->url().toUtf8());

    BlockDropWindow window;
    auto *board = window.findChild<BlockDropBoard *>();
    QVERIFY(board);
    BlockDropBoardTestAccess t{ *board };
    QPushButton *newGame = button(window, QStringLiteral("&New Game"));
    QSignalSpy ready(board, &BlockDropBoard::ready);
    InnerActiveAdModule *client = t.startAdNow();
    client->setExchangeTimeLimit(HangLimitMs);

    if (duringGame) {
        // The first ad comes from a sound server, and a game is under way
        // when the same address starts to fail.
        QVERIFY(ready.wait(Wait));
        board->startLineMode();
        const QString port = QString::number(QUrl(server->url()).port());
        server.reset();
        server = std::make_unique<AdServerProcess>(faultArguments + QStringList{ QStringLiteral("--port"), port },
                                                   AdServerProcess::KeepLog);
        QCOMPARE(server->url(), qEnvironmentVariable("TUMBLOX_AD_SERVER"));
    }

    QSignalSpy corrupted(client, &InnerActiveAdModule::adDataCorrupted);
    QSignalSpy errors(client, &InnerActiveAdModule::networkError);
    QSignalSpy arrived(client, &InnerActiveAdModule::adDataReady);
    if (seen != Seen::NetworkScreen)
        QTest::ignoreMessage(QtDebugMsg, "data corrupted");
    if (duringGame)
        QCOMPARE(client->requestAd(), int(InnerActiveAdModule::Success)); // as the reload timer does
    QTRY_VERIFY_WITH_TIMEOUT(corrupted.count() + errors.count() > 0, Wait);
    QCOMPARE(arrived.count(), 0);
    QCOMPARE(errors.count(), seen == Seen::NetworkScreen ? 1 : 0);

    QCOMPARE(pathsRequested(*server, 0), requested);
    QVERIFY(!InnerActiveAdModuleTestAccess::adImageBytes(*client).contains("root:"));

    QCOMPARE(networkScreenShown(t), seen == Seen::NetworkScreen);
    switch (seen) {
    case Seen::Loading:
        QCOMPARE(t.screenText(), QStringLiteral("Loading, please wait!"));
        QVERIFY(!newGame->isEnabled());
        QCOMPARE(ready.count(), 0);
        break;
    case Seen::NetworkScreen:
        // Over whatever was there: the loading screen or the running game.
        QCOMPARE(t.isLoading(), !duringGame);
        QCOMPARE(t.isStarted(), duringGame);
        QVERIFY(!t.isGameOver());
        break;
    case Seen::NoAds: {
        QVERIFY(t.isStarted());
        QVERIFY(newGame->isEnabled());
        DialogGuard guard;
        newGame->click();
        QCOMPARE(guard.shown, 0);
        QVERIFY(t.isStarted());
        QCOMPARE(t.mode(), QStringLiteral("score"));
        QCOMPARE(t.level(), 1);
        break;
    }
    }
}

QTEST_MAIN(TestAdFaults)
#include "tst_adfaults.moc"
