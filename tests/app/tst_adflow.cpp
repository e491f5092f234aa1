// SPDX-FileCopyrightText: 2026 The Tumblox developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The game's ad flow against the development ad server: the real binary once,
// then the window for each fault mode, at start-up and on a reload during a
// game: what the player sees, what was asked of the server, and the way out.
#include "adserverprocess.h"
#include "blockdropboard.h"
#include "blockdropboardtestaccess.h"
#include "blockdropwindow.h"
#include "inneractiveaddialog.h"
#include "inneractiveadmodule.h"
#include "inneractiveadmoduletestaccess.h"

#include <QApplication>
#include <QDateTime>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QUrlQuery>

#include <memory>

namespace {

const int Wait = 10000;
// Long enough for a loopback answer, short enough for a test.
const int HangLimitMs = 300;
const QString LogoPath = QStringLiteral("/inneractive_logo.png");
const QString AdPath = QStringLiteral("/simpleM2M/clientRequestAd");
const QString ImagePath = QStringLiteral("/ads/ad1.png");
const QString SentinelPath = QStringLiteral("/sentinel");
const QString NetworkText = QStringLiteral("Network connection needed");

enum class Seen {
    Ready, // New Game is enabled and shows the ad before each game
    Loading, // the loading screen stays, and the board asks again later
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

QList<QWidget *> networkErrorScreens()
{
    QList<QWidget *> screens;
    for (QWidget *top : QApplication::topLevelWidgets()) {
        if (button(*top, NetworkText))
            screens.append(top);
    }
    return screens;
}

// Presses Skip on every ad dialog as soon as it is up, counts the dialogs and
// lets a test look at the board while each is shown.
class AdSkipper
{
public:
    std::function<void(InnerActiveAdDialog *)> whileShown;
    int shown = 0;

    AdSkipper()
    {
        poll.setInterval(10);
        QObject::connect(&poll, &QTimer::timeout, [this] {
            auto *dialog = qobject_cast<InnerActiveAdDialog *>(QApplication::activeModalWidget());
            if (!dialog || dialog == skipped)
                return;
            skipped = dialog;
            ++shown;
            if (whileShown)
                whileShown(dialog);
            dialog->findChild<QPushButton *>(QStringLiteral("btnLeft"))->click();
        });
        poll.start();
    }

private:
    QTimer poll;
    QPointer<InnerActiveAdDialog> skipped;
};

} // namespace

Q_DECLARE_METATYPE(Seen)

class TestAdFlow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void realGame();
    void retryDelays();
    void faults_data();
    void faults();

private:
    QStringList pathsRequested(AdServerProcess &server);

    QTemporaryDir home;
    QNetworkAccessManager network;
};

void TestAdFlow::initTestCase()
{
    QVERIFY(home.isValid());
    // The client's stored identity goes here; QSettings reads it on first use.
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.path()));
    // The rows quit the application's loop themselves; a window closed on the
    // way must not leave a quit behind for the next row's waits.
    QApplication::setQuitOnLastWindowClosed(false);
}

// The paths the server was asked for. A request of our own goes last and is
// waited for, so whatever the game asked before it is in the log.
QStringList TestAdFlow::pathsRequested(AdServerProcess &server)
{
    std::unique_ptr<QNetworkReply> sentinel(network.get(QNetworkRequest(QUrl(server.url() + SentinelPath))));
    if (!QTest::qWaitFor([&] { return server.requests().join(u'\n').contains(SentinelPath); }, Wait))
        return { QStringLiteral("<the server never logged the last request>") };
    QStringList paths;
    for (const QString &line : server.requests()) {
        const QString path = QUrl(line.section(u' ', 1, 1)).path();
        if (path == SentinelPath)
            break;
        paths.append(path);
    }
    return paths;
}

// The game as a player starts it: logo, ad request, image, each with the
// browser's User-Agent.
void TestAdFlow::realGame()
{
    AdServerProcess server({}, AdServerProcess::KeepLog);
    QVERIFY(!server.url().isEmpty());
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("TUMBLOX_AD_SERVER"), server.url());
    environment.insert(QStringLiteral("HOME"), home.path());
    QProcess game;
    game.setProcessEnvironment(environment);
    game.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    const qint64 started = QDateTime::currentSecsSinceEpoch();
    game.start(QStringLiteral(TUMBLOX_GAME_PATH), QStringList());
    QVERIFY(game.waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(server.requests().size() >= 3 || game.state() != QProcess::Running, 2 * Wait);
    QCOMPARE(game.state(), QProcess::Running);
    game.kill();
    QVERIFY(game.waitForFinished());

    const QString agent = QStringLiteral("\"Mozilla/5.0 (X11; U; Linux armv7l; fi-FI; rv:1.9.2a1pre) Gecko/20090928 "
                                         "Firefox/3.5 Maemo Browser 1.4.1.15 RX-51 N900\"");
    QStringList targets;
    for (const QString &line : server.requests()) {
        QCOMPARE(line.section(u' ', 0, 0), QStringLiteral("GET"));
        QCOMPARE(line.section(u' ', 2), agent);
        targets << line.section(u' ', 1, 1);
    }
    const QUrl answer(targets.value(1));
    QCOMPARE(QStringList({ targets.value(0), answer.path(), targets.value(2) }),
             QStringList({ LogoPath, AdPath, ImagePath }));
    auto items = QUrlQuery(answer).queryItems(QUrl::FullyDecoded);
    const auto time = items.takeLast();
    QCOMPARE(time.first, QStringLiteral("time"));
    QVERIFY(time.second.toLongLong() >= started && time.second.toLongLong() <= QDateTime::currentSecsSinceEpoch());
    const QString keywords = QStringLiteral("games, puzzle, tetraminos, tetra, tetris, adventure, classic, brain, "
                                            "free, fun, challenge");
    QCOMPARE(items, (QList<std::pair<QString, QString>>{ { "aid", "Quillo_Tumblox_QT" }, { "v", "Sm2m-1.5.2-QT_1.5.2" },
                                                         { "o", "true" }, { "po", "551" }, { "k", keywords },
                                                         { "c", "Games" } }));
}

// After each unusable first answer the board waits longer, up to a minute.
void TestAdFlow::retryDelays()
{
    BlockDropBoard board;
    BlockDropBoardTestAccess t{ board };
    for (int seconds : { 5, 10, 20, 40, 60, 60 }) {
        QTest::ignoreMessage(QtDebugMsg, "data corrupted");
        board.onAdDataCorrupted();
        QVERIFY(t.adRetryTimer()->isActive());
        QCOMPARE(t.adRetryTimer()->interval(), seconds * 1000);
    }
}

void TestAdFlow::faults_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<int>("count"); // of ad requests that meet the fault; -1 all
    // Whether the first ad arrives from a sound server before the fault.
    QTest::addColumn<bool>("duringGame");
    QTest::addColumn<Seen>("seen");
    QTest::addColumn<QStringList>("requested");

    const QStringList logoAndAd{ LogoPath, AdPath };
    QTest::newRow("sound server") << "" << -1 << false << Seen::Ready << QStringList{ LogoPath, AdPath, ImagePath };
    QTest::newRow("no-fill once at start-up") << "no-fill" << 1 << false << Seen::Ready
                                              << QStringList{ LogoPath, AdPath, AdPath, ImagePath };
    QTest::newRow("no-fill at start-up") << "no-fill" << -1 << false << Seen::Loading << logoAndAd;
    QTest::newRow("malformed at start-up") << "malformed" << -1 << false << Seen::Loading << logoAndAd;
    QTest::newRow("http-error at start-up") << "http-error" << -1 << false << Seen::NetworkScreen << QStringList{ LogoPath };
    QTest::newRow("hang at start-up") << "hang" << -1 << false << Seen::NetworkScreen << QStringList{ LogoPath };
    QTest::newRow("oversize at start-up") << "oversize" << -1 << false << Seen::NetworkScreen
                                          << QStringList{ LogoPath, AdPath, "/ads/oversize.png" };
    // The answer names file:///etc/passwd as the image: nothing follows it.
    QTest::newRow("bad-scheme at start-up") << "bad-scheme" << -1 << false << Seen::Loading << logoAndAd;
    QTest::newRow("truncate at start-up") << "truncate" << -1 << false << Seen::NetworkScreen << QStringList{ LogoPath };
    // A redirect is the stage's answer and is not followed.
    QTest::newRow("redirect at start-up") << "redirect" << -1 << false << Seen::Loading << logoAndAd;

    const QStringList ad{ AdPath };
    QTest::newRow("no-fill during a game") << "no-fill" << -1 << true << Seen::NoAds << ad;
    QTest::newRow("malformed during a game") << "malformed" << -1 << true << Seen::NoAds << ad;
    QTest::newRow("http-error during a game") << "http-error" << -1 << true << Seen::NetworkScreen << ad;
    QTest::newRow("hang during a game") << "hang" << -1 << true << Seen::NetworkScreen << ad;
    QTest::newRow("oversize during a game") << "oversize" << -1 << true << Seen::NetworkScreen
                                            << QStringList{ AdPath, "/ads/oversize.png" };
    QTest::newRow("bad-scheme during a game") << "bad-scheme" << -1 << true << Seen::NoAds << ad;
    QTest::newRow("truncate during a game") << "truncate" << -1 << true << Seen::NetworkScreen << ad;
    QTest::newRow("redirect during a game") << "redirect" << -1 << true << Seen::NoAds << ad;
}

void TestAdFlow::faults()
{
    QFETCH(QString, fault);
    QFETCH(int, count);
    QFETCH(bool, duringGame);
    QFETCH(Seen, seen);
    QFETCH(QStringList, requested);

    QStringList faultArguments;
    if (!fault.isEmpty())
        faultArguments << QStringLiteral("--fault") << fault;
    if (count >= 0)
        faultArguments << QStringLiteral("--fault-count") << QString::number(count);
    auto server = std::make_unique<AdServerProcess>(duringGame ? QStringList() : faultArguments,
                                                    AdServerProcess::KeepLog);
    QVERIFY(!server->url().isEmpty());
    qputenv("TUMBLOX_AD_SERVER", server->url().toUtf8());

    BlockDropWindow window;
    auto *board = window.findChild<BlockDropBoard *>();
    BlockDropBoardTestAccess t{ *board };
    QPushButton *newGame = button(window, QStringLiteral("&New Game"));
    QSignalSpy ready(board, &BlockDropBoard::ready);
    InnerActiveAdModule *client = t.startAdNow();
    client->setExchangeTimeLimit(HangLimitMs);
    QCOMPARE(t.screenText(), QStringLiteral("Loading, please wait!"));

    if (duringGame) {
        // A game is under way when the same address starts to fail.
        QVERIFY(ready.wait(Wait));
        board->startLineMode();
        const QString port = QString::number(QUrl(server->url()).port());
        server.reset();
        server = std::make_unique<AdServerProcess>(faultArguments + QStringList{ QStringLiteral("--port"), port },
                                                   AdServerProcess::KeepLog);
        QCOMPARE(client->requestAd(), int(InnerActiveAdModule::Success)); // as the reload timer does
    }

    QSignalSpy corrupted(client, &InnerActiveAdModule::adDataCorrupted);
    QSignalSpy errors(client, &InnerActiveAdModule::networkError);
    if (count > 0 || seen == Seen::Loading || seen == Seen::NoAds)
        QTest::ignoreMessage(QtDebugMsg, "data corrupted");
    if (seen == Seen::Ready)
        QTRY_COMPARE_WITH_TIMEOUT(ready.count(), 1, Wait);
    else
        QTRY_VERIFY_WITH_TIMEOUT(corrupted.count() + errors.count() > 0, Wait);
    QCOMPARE(errors.count(), seen == Seen::NetworkScreen ? 1 : 0);
    QCOMPARE(pathsRequested(*server), requested);
    QVERIFY(!InnerActiveAdModuleTestAccess::adImageBytes(*client).contains("root:"));
    QCOMPARE(networkErrorScreens().size(), seen == Seen::NetworkScreen ? 1 : 0);
    // A corrupt reload leaves the game without ads; only the first ad is asked again.
    QCOMPARE(t.adRetryTimer()->isActive(), seen == Seen::Loading);

    AdSkipper skipper;
    switch (seen) {
    case Seen::Ready: {
        QVERIFY(newGame->isEnabled());
        QVERIFY(t.showingCredits());
        QSignalSpy arrived(client, &InnerActiveAdModule::adDataReady);
        QCOMPARE(client->requestAd(), 1);
        QVERIFY(arrived.wait(Wait));
        QCOMPARE(ready.count(), 1);
        // The old game ends behind the ad, and a fresh one begins.
        t.level() = 4;
        QStringList texts;
        skipper.whileShown = [&](InnerActiveAdDialog *dialog) {
            QVERIFY(t.isGameOver() && !t.isStarted() && !t.fallTimerActive());
            QCOMPARE(dialog->parentWidget(), board);
            for (const char *name : { "labelSkip", "btnLeft", "btnRight" })
                texts << dialog->findChild<QObject *>(QLatin1String(name))->property("text").toString();
        };
        newGame->click();
        QCOMPARE(texts, QStringList({ "<b>Skip in 10</b>", "Skip", "Click" }));
        QVERIFY(t.isStarted() && t.fallTimerActive());
        QCOMPARE(t.level(), 1);
        QCOMPARE(t.mode(), QStringLiteral("score"));
        skipper.whileShown = nullptr;
        // Landing the 35th piece raises the level to 2, the 70th to 3 and pauses the game for an ad.
        for (int piece : { 35, 70 }) {
            t.numPiecesDropped() = piece - 1;
            t.level() = piece / 35;
            t.setFallingPiece(1, 2, 3, piece / 35 * 4, 1); // matching nothing, on the floor
            t.landPiece();
            QCOMPARE(skipper.shown, piece / 35);
        }
        QVERIFY(t.isPaused() && !t.fallTimerActive());
        newGame->click(); // nothing while paused
        QVERIFY(t.isPaused());
        QCOMPARE(skipper.shown, 2);
        break;
    }
    case Seen::Loading:
        QVERIFY(!newGame->isEnabled());
        QCOMPARE(t.adRetryTimer()->interval(), 5000);
        break;
    case Seen::NetworkScreen: {
        QWidget *screen = networkErrorScreens().value(0);
        QVERIFY(screen == t.networkErrorWidget() && !screen->parentWidget());
        QVERIFY(screen->isVisible() && screen->isFullScreen());
        QCOMPARE(button(*screen, NetworkText)->minimumHeight(), 180);
        // Over whatever was there: the loading screen or the running game.
        QCOMPARE(t.isLoading(), !duringGame);
        QCOMPARE(t.isStarted(), duringGame);
        // One screen at a time: a second error brings it back, or builds a
        // new one when it is gone.
        if (duringGame)
            delete screen;
        else
            screen->close();
        QCOMPARE(client->requestAd(), 1);
        QVERIFY(errors.wait(Wait));
        QCOMPARE(networkErrorScreens().size(), 1);
        QVERIFY(t.networkErrorWidget()->isVisible());
        break;
    }
    case Seen::NoAds:
        QVERIFY(newGame->isEnabled());
        newGame->click();
        QVERIFY(t.isStarted());
        QCOMPARE(t.mode(), QStringLiteral("score"));
        break;
    }
    if (seen != Seen::Ready)
        QCOMPARE(skipper.shown, 0);

    // Every way out ends the application's event loop; Quit shows the ad
    // first when one is there.
    const int adsBefore = skipper.shown;
    QTimer::singleShot(0, board, [&] {
        if (seen == Seen::NetworkScreen)
            button(*t.networkErrorWidget(), NetworkText)->click();
        else
            board->quit();
    });
    QTimer::singleShot(Wait, board, [] { QCoreApplication::exit(1); });
    QCOMPARE(QCoreApplication::exec(), 0);
    QCOMPARE(skipper.shown - adsBefore, seen == Seen::Ready ? 1 : 0);
}

QTEST_MAIN(TestAdFlow)
#include "tst_adflow.moc"
