// SPDX-FileCopyrightText: 2026 The Tumblox developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The ad flow against the development ad server: the window against each
// fault, at start-up or on a reload during a game.
#include "adserverprocess.h"
#include "blockdropboardtestaccess.h"
#include "blockdropwindow.h"
#include "inneractiveaddialog.h"
#include "inneractiveadmodule.h"

#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QUrlQuery>

#include <memory>
#include <optional>

namespace {

const int Wait = 10000;
const QString LogoPath = QStringLiteral("/inneractive_logo.png");
const QString AdPath = QStringLiteral("/simpleM2M/clientRequestAd");
const QString ImagePath = QStringLiteral("/ads/ad1.png");
const QString NetworkText = QStringLiteral("Network connection needed");

QPushButton *button(QWidget &window, const QString &text)
{
    const QList<QPushButton *> buttons = window.findChildren<QPushButton *>();
    const auto found = std::find_if(buttons.begin(), buttons.end(), [&](QPushButton *b) { return b->text() == text; });
    return found == buttons.end() ? nullptr : *found;
}

// Counts the times a window is raised.
struct RaiseCounter : QObject
{
    int count = 0;
    bool eventFilter(QObject *, QEvent *event) override
    {
        count += event->type() == QEvent::ZOrderChange;
        return false;
    }
};

QStringList pathsRequested(const AdServerProcess &server)
{
    QStringList paths;
    for (const QString &line : server.requests())
        paths << QUrl(line.section(u' ', 1, 1)).path();
    return paths;
}

} // namespace

class TestAdFlow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void faults_data();
    void faults();

private:
    QTemporaryDir home;
};

void TestAdFlow::initTestCase()
{
    QVERIFY(home.isValid());
    // The client's stored identity goes here.
    qputenv("HOME", QFile::encodeName(home.path()));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.path()));
    // A window closed by a row's quit must not post a quit for the next row.
    QApplication::setQuitOnLastWindowClosed(false);
}

void TestAdFlow::faults_data()
{
    QTest::addColumn<QString>("options"); // of the server, after "--fault"; none: the server is gone
    QTest::addColumn<bool>("duringGame"); // the first ad comes from a sound server, then the fault
    // "ready": New Game shows an ad before each game; "loading": the board asks again later;
    // "network screen" covers the game; "no ads": New Game starts a game without one.
    QTest::addColumn<QString>("seen");
    QTest::addColumn<QStringList>("requested");

    // Asked again, the server answers.
    QTest::newRow("no-fill once at start-up") << "no-fill --fault-count 1" << false << "ready"
                                              << QStringList{ LogoPath, AdPath, AdPath, ImagePath };
    QTest::newRow("no-fill at start-up") << "no-fill" << false << "loading" << QStringList{ LogoPath, AdPath };
    QTest::newRow("malformed during a game") << "malformed" << true << "no ads" << QStringList{ AdPath };
    QTest::newRow("hang during a game") << "hang" << true << "network screen" << QStringList{ AdPath };
    QTest::newRow("truncate during a game") << "truncate" << true << "network screen" << QStringList{ AdPath };
    QTest::newRow("server lost during a game") << "" << true << "network screen" << QStringList();
    // Only a 200 carries a logo, an answer or an image.
    QTest::newRow("logo status 204") << "status --status 204" << false << "network screen" << QStringList{ LogoPath };
    QTest::newRow("answer status 300 during a game") << "status --status 300" << true << "network screen"
                                                     << QStringList{ AdPath };
    QTest::newRow("image status 304") << "status --status 304 --fault-path /ads/" << false << "network screen"
                                      << QStringList{ LogoPath, AdPath, ImagePath };
}

void TestAdFlow::faults()
{
    QFETCH(QString, options);
    QFETCH(bool, duringGame);
    QFETCH(QString, seen);
    QFETCH(QStringList, requested);

    const QStringList faultArguments = (QStringLiteral("--fault ") + options).split(u' ');
    auto server = std::make_unique<AdServerProcess>(duringGame ? QStringList() : faultArguments,
                                                    AdServerProcess::KeepLog);
    qputenv("TUMBLOX_AD_SERVER", server->url().toUtf8());

    QTemporaryDir saves; // outlives the boards, which write into it
    std::optional<BlockDropWindow> window(std::in_place);
    auto *board = window->findChild<BlockDropBoard *>();
    BlockDropBoardTestAccess t{ *board };
    t.highScoreDirectory() = saves.path();
    QPushButton *newGame = button(*window, QStringLiteral("&New Game"));
    QSignalSpy ready(board, &BlockDropBoard::ready);
    InnerActiveAdModule *client = t.startAdNow();

    // Skips each ad at once, noting its countdown, its Skip button and the game behind it.
    QStringList ads;
    QTimer skipper;
    connect(&skipper, &QTimer::timeout, [&] {
        if (auto *dialog = qobject_cast<InnerActiveAdDialog *>(QApplication::activeModalWidget())) {
            auto *skip = dialog->findChild<QPushButton *>(QStringLiteral("btnLeft"));
            const char *game = !t.isStarted() ? "stopped" : t.isPaused() ? "paused" : "running";
            ads << dialog->findChild<QLabel *>(QStringLiteral("labelSkip"))->text() + u' ' + skip->text() + u' ' + game;
            skip->click();
        }
    });
    skipper.start(10);

    if (duringGame) {
        QVERIFY(ready.wait(Wait));
        board->startTimerMode();
        const QString port = QString::number(QUrl(server->url()).port());
        server.reset();
        if (!options.isEmpty())
            server = std::make_unique<AdServerProcess>(faultArguments + QStringList{ QStringLiteral("--port"), port },
                                                       AdServerProcess::KeepLog);
        if (options == QLatin1String("hang")) // the one wait on the real time limit, kept short
            client->setExchangeTimeLimit(100);
        QCOMPARE(client->requestAd(), int(InnerActiveAdModule::Success)); // as the reload timer does
    }

    QSignalSpy corrupted(client, &InnerActiveAdModule::adDataCorrupted);
    QSignalSpy errors(client, &InnerActiveAdModule::networkError);
    if (options.contains(QLatin1String("--fault-count")) || seen == "loading" || seen == "no ads")
        QTest::ignoreMessage(QtDebugMsg, "data corrupted");
    if (options.contains(QLatin1String("--fault-count"))) { // the retry at once, rather than after its 5 s
        QTRY_VERIFY_WITH_TIMEOUT(t.adRetryTimer()->isActive(), Wait);
        t.adRetryTick();
    }
    QTRY_VERIFY_WITH_TIMEOUT(seen == "ready" ? ready.count() : corrupted.count() + errors.count(), Wait);
    // The client is done; the log may lag behind.
    QTRY_COMPARE_WITH_TIMEOUT(server ? pathsRequested(*server) : QStringList(), requested, Wait);
    // Counted among all windows, so that one left behind by an earlier board shows.
    const QWidgetList tops = QApplication::topLevelWidgets();
    const auto isNetworkScreen = [](QWidget *top) { return button(*top, NetworkText) != nullptr; };
    QCOMPARE(std::count_if(tops.begin(), tops.end(), isNetworkScreen), seen == "network screen" ? 1 : 0);
    // A corrupt reload leaves the game without ads; only the first ad is asked again.
    QCOMPARE(t.adRetryTimer()->isActive(), seen == "loading");

    if (seen == "ready") {
        QVERIFY(newGame->isEnabled() && t.showingCredits());
        // The board's own ad parameters, and the client's default placement.
        const QUrlQuery query(QUrl(server->requests().at(1).section(u' ', 1, 1)));
        QCOMPARE(query.queryItemValue("po"), "551");
        QCOMPARE(query.queryItemValue("k", QUrl::FullyDecoded),
                 "games, puzzle, tetraminos, tetra, tetris, adventure, classic, brain, free, fun, challenge");
        QCOMPARE(query.queryItemValue("c"), "Games");
        // A later ad does not make the board ready again.
        QCOMPARE(client->requestAd(), 1);
        QVERIFY(QSignalSpy(client, &InnerActiveAdModule::adDataReady).wait(Wait));
        QCOMPARE(ready.count(), 1);
        t.level() = 4;
        newGame->click();
        QVERIFY(t.isStarted() && t.fallTimerActive() && t.level() == 1);
        // The 70th piece raises the level to 3, which calls for an ad.
        t.numPiecesDropped() = 69;
        t.level() = 2;
        t.setFallingPiece(1, 2, 3, 6, 1); // matching nothing, on the floor
        t.landPiece();
        // The mode keys and the mode menu show the ad as New Game does; a mode key in a game does nothing.
        board->pause();
        t.endGame();
        QTest::keyClick(board, Qt::Key_2);
        t.endGame();
        newGame->findChild<QMenu *>()->actions().at(2)->trigger();
        QTest::keyClick(board, Qt::Key_1);
        QCOMPARE(t.mode(), QStringLiteral("timer"));
    } else if (seen == "loading") {
        QVERIFY(!newGame->isEnabled());
        // Each further unusable answer makes the board wait longer, up to a minute.
        for (int seconds : { 5, 10, 20, 40, 60, 60 }) {
            QCOMPARE(t.adRetryTimer()->interval(), seconds * 1000);
            QTest::ignoreMessage(QtDebugMsg, "data corrupted");
            board->onAdDataCorrupted();
        }
    } else if (seen == "network screen") {
        QWidget *screen = t.networkErrorWidget();
        QVERIFY(!screen->parentWidget() && screen->isVisible() && screen->isFullScreen());
        QCOMPARE(button(*screen, NetworkText)->minimumHeight(), 180);
        // One screen at a time: a second error brings the same one back, to the front.
        RaiseCounter raises;
        screen->installEventFilter(&raises);
        QCOMPARE(client->requestAd(), 1);
        QVERIFY(errors.wait(Wait));
        QCOMPARE(t.networkErrorWidget(), screen);
        QCOMPARE(raises.count, 1);
        // Nothing goes on unseen behind it: the game stands paused, and the clock's tick changes nothing.
        QCOMPARE(t.isPaused(), duringGame);
        QVERIFY(!t.fallTimerActive() && !t.secondsTimer()->isActive());
        const QByteArray behindScreen = t.savedGame().toJson();
        board->timerDone();
        QCOMPARE(t.savedGame().toJson(), behindScreen);
    } else {
        newGame->click();
        QVERIFY(t.isStarted() && t.mode() == QStringLiteral("score"));
    }

    // Every way out ends the application's event loop; Quit shows the ad first when one is there. The
    // network screen's button quits, and so does closing the screen as the window manager would.
    QTimer::singleShot(0, board, [&] {
        if (seen != "network screen")
            board->quit();
        else if (duringGame)
            t.networkErrorWidget()->close();
        else
            button(*t.networkErrorWidget(), NetworkText)->click();
    });
    QTimer::singleShot(Wait, board, [] { QCoreApplication::exit(1); });
    QCOMPARE(QCoreApplication::exec(), 0);
    const QString ad = QStringLiteral("<b>Skip in 10</b> Skip ");
    QCOMPARE(ads, seen == "ready" ? QStringList({ ad + "stopped", ad + "paused", ad + "stopped", ad + "stopped", ad + "running" })
                                  : QStringList());
    if (!options.isEmpty())
        return;

    // Started again with the network back, the game comes back as it stood, paused.
    const QByteArray lost = t.savedGame().toJson();
    window.reset();
    server = std::make_unique<AdServerProcess>();
    qputenv("TUMBLOX_AD_SERVER", server->url().toUtf8());
    BlockDropWindow restarted;
    BlockDropBoardTestAccess r{ *restarted.findChild<BlockDropBoard *>() };
    r.highScoreDirectory() = saves.path();
    QSignalSpy readyAgain(&r.b, &BlockDropBoard::ready);
    r.startAdNow();
    QVERIFY(readyAgain.wait(Wait));
    QVERIFY(r.isPaused());
    QCOMPARE(r.savedGame().toJson(), lost);
}

QTEST_MAIN(TestAdFlow)
#include "tst_adflow.moc"
