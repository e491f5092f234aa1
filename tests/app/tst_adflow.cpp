// SPDX-FileCopyrightText: 2026 The Tumblox developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The ad flow against the development ad server: the real game once, then the
// window against each fault, at start-up or on a reload during a game.
#include "adserverprocess.h"
#include "blockdropboardtestaccess.h"
#include "blockdropwindow.h"
#include "inneractiveaddialog.h"
#include "inneractiveadmoduletestaccess.h"

#include <QApplication>
#include <QDateTime>
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
const QString NetworkText = QStringLiteral("Network connection needed");

enum class Seen {
    Ready, // New Game is enabled and shows the ad before each game
    Loading, // the loading screen stays, and the board asks again later
    NetworkScreen, // the "Network connection needed" screen covers the game
    NoAds, // the game goes on, and New Game starts one without an ad
};

QPushButton *button(QWidget &window, const QString &text)
{
    const QList<QPushButton *> buttons = window.findChildren<QPushButton *>();
    const auto found = std::find_if(buttons.begin(), buttons.end(), [&](QPushButton *b) { return b->text() == text; });
    return found == buttons.end() ? nullptr : *found;
}

// Counted among all windows, so that one left behind by an earlier board shows.
qsizetype networkErrorScreens()
{
    const QWidgetList tops = QApplication::topLevelWidgets();
    return std::count_if(tops.begin(), tops.end(), [](QWidget *top) { return button(*top, NetworkText); });
}

QStringList pathsRequested(const AdServerProcess &server)
{
    QStringList paths;
    for (const QString &line : server.requests())
        paths << QUrl(line.section(u' ', 1, 1)).path();
    return paths;
}

// Presses Skip on each ad dialog as soon as it is up, counts the dialogs and
// lets a test look at the board while each is shown.
struct AdSkipper
{
    std::function<void(InnerActiveAdDialog *)> whileShown = [](InnerActiveAdDialog *) {};
    int shown = 0;
    QTimer poll;

    AdSkipper()
    {
        QObject::connect(&poll, &QTimer::timeout, [this] {
            if (auto *dialog = qobject_cast<InnerActiveAdDialog *>(QApplication::activeModalWidget())) {
                ++shown;
                whileShown(dialog);
                dialog->findChild<QPushButton *>(QStringLiteral("btnLeft"))->click();
            }
        });
        poll.start(10);
    }
};

} // namespace

Q_DECLARE_METATYPE(Seen)

class TestAdFlow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void realGame();
    void faults_data();
    void faults();

private:
    QTemporaryDir home;
};

void TestAdFlow::initTestCase()
{
    QVERIFY(home.isValid());
    // The client's stored identity goes here, also the real game's.
    qputenv("HOME", QFile::encodeName(home.path()));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.path()));
    // A window closed by a row's quit must not post a quit for the next row.
    QApplication::setQuitOnLastWindowClosed(false);
}

// The game as a player starts it: logo, ad request, image, each with the
// browser's User-Agent.
void TestAdFlow::realGame()
{
    AdServerProcess server({}, AdServerProcess::KeepLog);
    QVERIFY(!server.url().isEmpty());
    qputenv("TUMBLOX_AD_SERVER", server.url().toUtf8());
    QProcess game;
    game.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    game.start(QStringLiteral(TUMBLOX_GAME_PATH), QStringList());
    QVERIFY(game.waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(server.requests().size() >= 3 || game.state() != QProcess::Running, 2 * Wait);
    QCOMPARE(game.state(), QProcess::Running);
    game.kill();
    QVERIFY(game.waitForFinished());

    const QString agent = QStringLiteral("\"Mozilla/5.0 (X11; U; Linux armv7l; fi-FI; rv:1.9.2a1pre) Gecko/20090928 "
                                         "Firefox/3.5 Maemo Browser 1.4.1.15 RX-51 N900\"");
    for (const QString &line : server.requests())
        QVERIFY2(line.startsWith(QLatin1String("GET ")) && line.endsWith(u' ' + agent), qPrintable(line));
    QCOMPARE(pathsRequested(server), QStringList({ LogoPath, AdPath, ImagePath }));
    auto items = QUrlQuery(QUrl(server.requests().value(1).section(u' ', 1, 1))).queryItems(QUrl::FullyDecoded);
    // Last comes the time of the request, in seconds since the epoch.
    const qint64 time = items.value(6).second.toLongLong();
    QVERIFY(qAbs(time - QDateTime::currentSecsSinceEpoch()) < 60);
    const QString keywords = QStringLiteral("games, puzzle, tetraminos, tetra, tetris, adventure, classic, brain, "
                                            "free, fun, challenge");
    QCOMPARE(items, (QList<std::pair<QString, QString>>{ { "aid", "Quillo_Tumblox_QT" }, { "v", "Sm2m-1.5.2-QT_1.5.2" },
                                                         { "o", "true" }, { "po", "551" }, { "k", keywords },
                                                         { "c", "Games" }, { "time", QString::number(time) } }));
}

void TestAdFlow::faults_data()
{
    QTest::addColumn<QString>("options"); // of the server
    // Whether the first ad arrives from a sound server before the fault.
    QTest::addColumn<bool>("duringGame");
    QTest::addColumn<Seen>("seen");
    QTest::addColumn<QStringList>("requested");

    const QStringList logo{ LogoPath };
    const QStringList logoAndAd{ LogoPath, AdPath };
    const QStringList oversize{ LogoPath, AdPath, QStringLiteral("/ads/oversize.png") };
    // Asked again after 5 s, the server answers.
    QTest::newRow("no-fill once at start-up") << "--fault no-fill --fault-count 1" << false << Seen::Ready
                                              << QStringList{ LogoPath, AdPath, AdPath, ImagePath };
    QTest::newRow("no-fill at start-up") << "--fault no-fill" << false << Seen::Loading << logoAndAd;
    QTest::newRow("malformed at start-up") << "--fault malformed" << false << Seen::Loading << logoAndAd;
    QTest::newRow("http-error at start-up") << "--fault http-error" << false << Seen::NetworkScreen << logo;
    QTest::newRow("hang at start-up") << "--fault hang" << false << Seen::NetworkScreen << logo;
    QTest::newRow("oversize at start-up") << "--fault oversize" << false << Seen::NetworkScreen << oversize;
    // The answer names file:///etc/passwd as the image: nothing follows it.
    QTest::newRow("bad-scheme at start-up") << "--fault bad-scheme" << false << Seen::Loading << logoAndAd;
    QTest::newRow("truncate at start-up") << "--fault truncate" << false << Seen::NetworkScreen << logo;
    // A redirect is the stage's answer and is not followed.
    QTest::newRow("redirect at start-up") << "--fault redirect" << false << Seen::Loading << logoAndAd;

    const QStringList ad{ AdPath };
    QTest::newRow("no-fill during a game") << "--fault no-fill" << true << Seen::NoAds << ad;
    QTest::newRow("malformed during a game") << "--fault malformed" << true << Seen::NoAds << ad;
    QTest::newRow("http-error during a game") << "--fault http-error" << true << Seen::NetworkScreen << ad;
    QTest::newRow("hang during a game") << "--fault hang" << true << Seen::NetworkScreen << ad;
    QTest::newRow("oversize during a game") << "--fault oversize" << true << Seen::NetworkScreen << oversize.mid(1);
    QTest::newRow("bad-scheme during a game") << "--fault bad-scheme" << true << Seen::NoAds << ad;
    QTest::newRow("truncate during a game") << "--fault truncate" << true << Seen::NetworkScreen << ad;
    QTest::newRow("redirect during a game") << "--fault redirect" << true << Seen::NoAds << ad;
}

void TestAdFlow::faults()
{
    QFETCH(QString, options);
    QFETCH(bool, duringGame);
    QFETCH(Seen, seen);
    QFETCH(QStringList, requested);

    const QStringList faultArguments = options.split(u' ', Qt::SkipEmptyParts);
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
    if (options.contains(QLatin1String("--fault-count")) || seen == Seen::Loading || seen == Seen::NoAds)
        QTest::ignoreMessage(QtDebugMsg, "data corrupted");
    if (seen == Seen::Ready)
        QTRY_COMPARE_WITH_TIMEOUT(ready.count(), 1, Wait);
    else
        QTRY_VERIFY_WITH_TIMEOUT(corrupted.count() + errors.count() > 0, Wait);
    QCOMPARE(errors.count(), seen == Seen::NetworkScreen ? 1 : 0);
    // The client is done; the log may lag behind.
    QTRY_COMPARE_WITH_TIMEOUT(pathsRequested(*server), requested, Wait);
    QVERIFY(!InnerActiveAdModuleTestAccess::adImageBytes(*client).contains("root:"));
    QCOMPARE(networkErrorScreens(), seen == Seen::NetworkScreen ? 1 : 0);
    // A corrupt reload leaves the game without ads; only the first ad is asked again.
    QCOMPARE(t.adRetryTimer()->isActive(), seen == Seen::Loading);

    AdSkipper skipper;
    switch (seen) {
    case Seen::Ready: {
        QVERIFY(newGame->isEnabled() && t.showingCredits());
        // A reload changes nothing on the board.
        QCOMPARE(client->requestAd(), 1);
        QVERIFY(QSignalSpy(client, &InnerActiveAdModule::adDataReady).wait(Wait));
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
        QVERIFY(t.isStarted() && t.fallTimerActive() && t.level() == 1);
        skipper.whileShown = [](InnerActiveAdDialog *) {};
        // The 70th piece raises the level to 3, which calls for an ad.
        t.numPiecesDropped() = 69;
        t.level() = 2;
        t.setFallingPiece(1, 2, 3, 6, 1); // matching nothing, on the floor
        t.landPiece();
        QCOMPARE(skipper.shown, 2);
        break;
    }
    case Seen::Loading:
        QVERIFY(!newGame->isEnabled());
        // Each further unusable answer makes the board wait longer, up to a minute.
        for (int seconds : { 5, 10, 20, 40, 60, 60 }) {
            QCOMPARE(t.adRetryTimer()->interval(), seconds * 1000);
            QTest::ignoreMessage(QtDebugMsg, "data corrupted");
            board->onAdDataCorrupted();
        }
        break;
    case Seen::NetworkScreen: {
        QWidget *screen = t.networkErrorWidget();
        QVERIFY(!screen->parentWidget() && screen->isVisible() && screen->isFullScreen());
        QCOMPARE(button(*screen, NetworkText)->minimumHeight(), 180);
        // Over whatever was there: the loading screen or the running game.
        QCOMPARE(t.isLoading(), !duringGame);
        QCOMPARE(t.isStarted(), duringGame);
        // One screen at a time: a second error builds a new one when it is gone.
        delete screen;
        QCOMPARE(client->requestAd(), 1);
        QVERIFY(errors.wait(Wait));
        QCOMPARE(networkErrorScreens(), 1);
        QVERIFY(t.networkErrorWidget()->isVisible());
        break;
    }
    case Seen::NoAds:
        newGame->click();
        QVERIFY(t.isStarted() && t.mode() == QStringLiteral("score"));
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
