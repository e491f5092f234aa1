// SPDX-FileCopyrightText: 2026 The Tumblox developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "adserverprocess.h"
#include "blockdropboard.h"
#include "blockdropboardtestaccess.h"
#include "blockdropwindow.h"
#include "inneractiveaddialog.h"
#include "inneractiveadmodule.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>

namespace {

const int Wait = 10000;

QPushButton *button(QWidget &window, const QString &text)
{
    for (QPushButton *b : window.findChildren<QPushButton *>()) {
        if (b->text() == text)
            return b;
    }
    return nullptr;
}

// Presses Skip on every ad dialog as soon as it is up, so the real ten-second
// countdown never runs out; counts the dialogs and lets a test look at the
// board while each is shown.
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

void pointClientsAt(const QString &url)
{
    qputenv("TUMBLOX_AD_SERVER", url.toUtf8());
}

// A port nobody listens on: connections are refused at once.
QString closedPortUrl()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost);
    return QStringLiteral("http://127.0.0.1:%1").arg(probe.serverPort());
}

QList<QWidget *> networkErrorScreens()
{
    QList<QWidget *> screens;
    for (QWidget *top : QApplication::topLevelWidgets()) {
        if (button(*top, QStringLiteral("Network connection needed")))
            screens.append(top);
    }
    return screens;
}

} // namespace

// The board's ad flow against the development ad server.
class TestBlockDropAdFlow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void loadingUntilFirstAd();
    void newGameShowsAdOverGameOverView();
    void newGameWhilePausedShowsNoAd();
    void levelMilestones_data();
    void levelMilestones();
    void networkErrorScreen_data();
    void networkErrorScreen();
    void corruptFirstAnswerStaysLoading();
    void quitting_data();
    void quitting();

private:
    bool waitUntilReady(BlockDropBoard &board);

    QTemporaryDir home;
};

void TestBlockDropAdFlow::initTestCase()
{
    QVERIFY(home.isValid());
    // The client's stored identity goes here; QSettings reads it on first use.
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.path()));
}

bool TestBlockDropAdFlow::waitUntilReady(BlockDropBoard &board)
{
    QSignalSpy ready(&board, &BlockDropBoard::ready);
    return ready.wait(Wait);
}

void TestBlockDropAdFlow::loadingUntilFirstAd()
{
    AdServerProcess server;
    QVERIFY(!server.url().isEmpty());
    pointClientsAt(server.url());
    BlockDropWindow window;
    auto *board = window.findChild<BlockDropBoard *>();
    BlockDropBoardTestAccess t{ *board };
    QPushButton *newGame = button(window, QStringLiteral("&New Game"));
    QSignalSpy ready(board, &BlockDropBoard::ready);
    QVERIFY(!newGame->isEnabled());
    QCOMPARE(t.screenText(), QStringLiteral("Loading, please wait!"));

    QVERIFY(ready.wait(Wait));
    QVERIFY(newGame->isEnabled());
    QVERIFY(!t.isLoading());
    QVERIFY(t.showingCredits());

    // A reload brings the next ad and changes nothing on the board.
    QSignalSpy arrived(t.adModule(), &InnerActiveAdModule::adDataReady);
    QCOMPARE(t.adModule()->requestAd(), 1);
    QVERIFY(arrived.wait(Wait));
    QCOMPARE(ready.count(), 1);
    QVERIFY(t.showingCredits());
}

void TestBlockDropAdFlow::newGameShowsAdOverGameOverView()
{
    AdServerProcess server;
    pointClientsAt(server.url());
    BlockDropWindow window;
    auto *board = window.findChild<BlockDropBoard *>();
    BlockDropBoardTestAccess t{ *board };
    QVERIFY(waitUntilReady(*board));
    QPushButton *newGame = button(window, QStringLiteral("&New Game"));

    AdSkipper skipper;
    newGame->click();
    QCOMPARE(skipper.shown, 1);
    QVERIFY(t.isStarted());

    // New Game during a running game: the old one ends behind the ad.
    t.level() = 4;
    QStringList seen;
    skipper.whileShown = [&](InnerActiveAdDialog *dialog) {
        QVERIFY(t.isGameOver());
        QVERIFY(!t.isStarted());
        QVERIFY(!t.fallTimerActive());
        QVERIFY(!t.curPiece().isReal());
        QCOMPARE(dialog->parentWidget(), board);
        for (const char *name : { "labelSkip", "btnLeft", "btnRight" }) {
            QObject *child = dialog->findChild<QObject *>(QLatin1String(name));
            seen << child->property("text").toString();
        }
    };
    newGame->click();
    QCOMPARE(skipper.shown, 2);
    QCOMPARE(seen, QStringList({ "<b>Skip in 10</b>", "Skip", "Click" }));
    QVERIFY(t.isStarted());
    QVERIFY(!t.isGameOver());
    QCOMPARE(t.level(), 1);
    QCOMPARE(t.mode(), QStringLiteral("score"));
    QVERIFY(t.fallTimerActive());
}

void TestBlockDropAdFlow::newGameWhilePausedShowsNoAd()
{
    AdServerProcess server;
    pointClientsAt(server.url());
    BlockDropBoard board;
    BlockDropBoardTestAccess t{ board };
    QVERIFY(waitUntilReady(board));
    AdSkipper skipper;
    board.start();
    board.pause();
    t.level() = 4;

    board.start();
    QCOMPARE(skipper.shown, 1);
    QVERIFY(t.isPaused());
    QVERIFY(t.isStarted());
    QCOMPARE(t.level(), 4);
    QVERIFY(!t.showingCredits());
}

void TestBlockDropAdFlow::levelMilestones_data()
{
    QTest::addColumn<int>("piece");
    QTest::addColumn<bool>("ad");

    QTest::newRow("35th: level 2") << 35 << false;
    QTest::newRow("70th: level 3") << 70 << true;
    QTest::newRow("105th: level 4") << 105 << false;
    QTest::newRow("175th: level 6") << 175 << true;
}

void TestBlockDropAdFlow::levelMilestones()
{
    QFETCH(int, piece);
    QFETCH(bool, ad);

    AdServerProcess server;
    pointClientsAt(server.url());
    BlockDropBoard board;
    BlockDropBoardTestAccess t{ board };
    QVERIFY(waitUntilReady(board));
    board.startLineMode(); // a game without the New Game ad
    t.numPiecesDropped() = piece - 1;
    t.level() = 1 + (piece - 1) / 35;
    // Three colours that match nothing, resting on the floor.
    t.setFallingPiece(1, 2, 3, 6, 1);

    AdSkipper skipper;
    bool pausedUnderAd = false;
    skipper.whileShown = [&](InnerActiveAdDialog *) { pausedUnderAd = t.isPaused() && !t.fallTimerActive(); };
    t.landPiece();
    QCOMPARE(skipper.shown, ad ? 1 : 0);
    QCOMPARE(pausedUnderAd, ad);
    // Nothing resumes the game after the ad.
    QCOMPARE(t.isPaused(), ad);
    QCOMPARE(t.numPiecesDropped(), piece);
}

void TestBlockDropAdFlow::networkErrorScreen_data()
{
    QTest::addColumn<QString>("before"); // what became of the first screen

    QTest::newRow("still shown") << "shown";
    QTest::newRow("closed") << "closed";
    QTest::newRow("deleted") << "deleted";
}

// One screen at a time: a second error brings back the first screen, or
// builds a new one when the first is gone.
void TestBlockDropAdFlow::networkErrorScreen()
{
    QFETCH(QString, before);

    pointClientsAt(closedPortUrl());
    BlockDropBoard board;
    BlockDropBoardTestAccess t{ board };
    QSignalSpy errors(t.startAdNow(), &InnerActiveAdModule::networkError);
    QVERIFY(errors.wait(Wait));
    QPointer<QWidget> first = t.networkErrorWidget();
    QVERIFY(first);
    QVERIFY(!first->parentWidget());
    QVERIFY(first->isVisible());
    QVERIFY(first->isFullScreen());
    QCOMPARE(button(*first, QStringLiteral("Network connection needed"))->minimumHeight(), 180);
    QVERIFY(t.isLoading());

    if (before == "closed")
        first->close();
    else if (before == "deleted")
        delete first;
    QCOMPARE(t.adModule()->requestAd(), 1);
    QVERIFY(errors.wait(Wait));

    QCOMPARE(networkErrorScreens().size(), 1);
    QVERIFY(t.networkErrorWidget()->isVisible());
    QCOMPARE(t.networkErrorWidget() == first, before != "deleted");
}

void TestBlockDropAdFlow::corruptFirstAnswerStaysLoading()
{
    AdServerProcess server({ QStringLiteral("--fault"), QStringLiteral("malformed") });
    pointClientsAt(server.url());
    BlockDropBoard board;
    BlockDropBoardTestAccess t{ board };
    QSignalSpy ready(&board, &BlockDropBoard::ready);
    QSignalSpy corrupted(t.startAdNow(), &InnerActiveAdModule::adDataCorrupted);
    QTest::ignoreMessage(QtDebugMsg, "data corrupted");

    QVERIFY(corrupted.wait(Wait));
    QVERIFY(t.isLoading());
    QCOMPARE(t.screenText(), QStringLiteral("Loading, please wait!"));
    QCOMPARE(ready.count(), 0);
    QVERIFY(networkErrorScreens().isEmpty());
}

void TestBlockDropAdFlow::quitting_data()
{
    QTest::addColumn<QString>("state");
    QTest::addColumn<int>("ads");

    QTest::newRow("Quit with an ad ready") << "ready" << 1;
    QTest::newRow("Quit while loading") << "loading" << 0;
    QTest::newRow("Quit before the ad client exists") << "no client" << 0;
    QTest::newRow("network-error button") << "network error" << 0;
}

// Every way out ends the application's event loop; Quit shows an ad first
// when one is there.
void TestBlockDropAdFlow::quitting()
{
    QFETCH(QString, state);
    QFETCH(int, ads);

    // Slow answers keep the first exchange in flight.
    AdServerProcess server({ QStringLiteral("--delay-ms"), state == "loading" ? QStringLiteral("5000") : QStringLiteral("0") });
    pointClientsAt(state == "network error" ? closedPortUrl() : server.url());
    BlockDropBoard board;
    BlockDropBoardTestAccess t{ board };
    if (state == "no client") {
        t.skipAds();
    } else {
        InnerActiveAdModule *client = t.startAdNow();
        if (state == "network error")
            QVERIFY(QSignalSpy(client, &InnerActiveAdModule::networkError).wait(Wait));
        else if (state == "ready")
            QVERIFY(waitUntilReady(board));
    }

    QSignalSpy aboutToQuit(qApp, &QCoreApplication::aboutToQuit);
    AdSkipper skipper;
    bool quitBeforeAd = false;
    skipper.whileShown = [&](InnerActiveAdDialog *) { quitBeforeAd = aboutToQuit.count() > 0; };
    QTimer::singleShot(0, &board, [&] {
        if (state == "network error")
            button(*t.networkErrorWidget(), QStringLiteral("Network connection needed"))->click();
        else
            board.quit();
    });
    // Only a running application loop can be quit; a stuck flow ends it with 1.
    QTimer::singleShot(Wait, qApp, [] { QCoreApplication::exit(1); });
    QCOMPARE(QCoreApplication::exec(), 0);
    QCOMPARE(aboutToQuit.count(), 1);
    QCOMPARE(skipper.shown, ads);
    QVERIFY(!quitBeforeAd);
}

QTEST_MAIN(TestBlockDropAdFlow)
#include "tst_blockdropadflow.moc"
