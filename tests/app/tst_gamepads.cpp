// SPDX-FileCopyrightText: 2026 The Tumblox developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Game controllers through SDL's virtual pads, which go the whole way a real pad goes: SDL's
// joystick and game-controller layers, the window's poll and the board's keys.
#include "blockdropboardtestaccess.h"
#include "blockdropwindow.h"
#include "gamepads.h"
#include "inneractiveaddialog.h"
#include "keyhelpoverlay.h"

#include <QApplication>
#include <QTest>
#include <QTimer>

#define SDL_MAIN_HANDLED
#include <SDL.h>

#include <memory>

namespace {

const Uint32 Subsystems = SDL_INIT_GAMECONTROLLER | SDL_INIT_JOYSTICK;

// A standard game controller that SDL makes up.
class VirtualPad
{
public:
    VirtualPad()
    {
        SDL_VirtualJoystickDesc desc;
        SDL_zero(desc);
        desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
        desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
        desc.naxes = SDL_CONTROLLER_AXIS_MAX;
        desc.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
        desc.name = "Tumblox test pad";
        joystick = SDL_JoystickOpen(SDL_JoystickAttachVirtualEx(&desc));
    }
    ~VirtualPad() { unplug(); }

    void setButton(int button, bool down) { SDL_JoystickSetVirtualButton(joystick, button, down); }
    void setAxis(int axis, int value) { SDL_JoystickSetVirtualAxis(joystick, axis, Sint16(value)); }

    void unplug()
    {
        if (!joystick)
            return;
        const SDL_JoystickID id = SDL_JoystickInstanceID(joystick);
        SDL_JoystickClose(joystick);
        joystick = nullptr;
        for (int index = 0; index < SDL_NumJoysticks(); ++index) {
            if (SDL_JoystickGetDeviceInstanceID(index) == id)
                SDL_JoystickDetachVirtual(index);
        }
    }

private:
    SDL_Joystick *joystick = nullptr;
};

int buttonNamed(const QString &name)
{
    return SDL_GameControllerGetButtonFromString(name.toLatin1().constData());
}

// The game's window, playing, with a falling piece at the spawn.
struct Game
{
    BlockDropWindow window;
    BlockDropBoard *board = window.findChild<BlockDropBoard *>();
    BlockDropBoardTestAccess t{ *board };
    Gamepads *pads = board->findChild<Gamepads *>();
    QTimer *pollTimer = pads->findChild<QTimer *>(QStringLiteral("gamepadPoll"));
    qint64 now = 0;

    Game()
    {
        t.skipAds();
        pads->setClock([this] { return now; });
        window.show();
        if (!QTest::qWaitForWindowActive(&window))
            qFatal("The window did not become active");
        board->start();
        t.setFallingPiece(1, 2, 3);
    }
    // What the timer does when it fires.
    void poll() { QVERIFY(QMetaObject::invokeMethod(pollTimer, "timeout")); }
    QString state()
    {
        const auto *help = board->findChild<KeyHelpOverlay *>();
        return help && help->isVisible() ? QStringLiteral("help") : t.isPaused() ? QStringLiteral("paused") : QStringLiteral("running");
    }
};

} // namespace

class TestGamepads : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void buttons_data();
    void buttons();
};

// The test's own hold on SDL, so it can make pads before the game's first poll.
void TestGamepads::initTestCase()
{
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    QCOMPARE(SDL_InitSubSystem(Subsystems), 0);
}

void TestGamepads::cleanupTestCase()
{
    SDL_QuitSubSystem(Subsystems);
}

// Words: a button's SDL name presses and releases it; hold: and release: do
// half of that; leftx= and lefty= move the stick; t= sets the clock; unplug
// and plug pull the pad out and put one in; pause calls the board's slot;
// dialog opens the ad dialog over the window, close closes it and brings the
// window back. Each is followed by one poll, where the poll timer runs. ? words
// log the board and the poll timer's interval; a removed pad logs "removed".
void TestGamepads::buttons_data()
{
    QTest::addColumn<QString>("script");
    QTest::addColumn<QString>("log");

    QTest::newRow("d-pad left and right") << "dpleft ?x dpright dpright ?x" << "x 5, x 7";
    QTest::newRow("stick: past half-way, back, again; a nudge does not flicker")
        << "leftx=-30000 leftx=0 leftx=-30000 leftx=-12000 leftx=-5000 leftx=-12000 ?x leftx=20000 ?x"
        << "x 4, x 5";
    QTest::newRow("down: d-pad and stick; up does nothing") << "dpdown lefty=30000 lefty=0 dpup lefty=-30000 ?y" << "y 26";
    QTest::newRow("A drops") << "a ?dropped" << "dropped 1";
    QTest::newRow("B and X cycle the colours") << "b ?piece x ?piece" << "piece 312, piece 231";
    QTest::newRow("Y holds") << "y ?hold" << "hold 123";
    QTest::newRow("Start pauses and resumes") << "start ?state start ?state" << "paused, running";
    QTest::newRow("Back shows the help; the next button only closes it")
        << "back ?state a ?state ?dropped" << "help, running, dropped 0";
    QTest::newRow("a held direction repeats, then stops")
        << "hold:dpleft t=199 ?x t=200 ?x t=259 ?x t=260 ?x release:dpleft t=1000 ?x" << "x 5, x 4, x 4, x 3, x 3";
    QTest::newRow("a held stick repeats until let go") << "lefty=32767 t=200 t=260 ?y lefty=0 t=1000 ?y" << "y 25, y 25";
    // Polled at frame rate with a pad, twice a second without.
    QTest::newRow("a pad pulled out pauses, one plugged in works at once, pulled out while paused it leaves the pause")
        << "?poll unplug ?state ?poll plug ?poll start ?state pause unplug ?state"
        << "poll 16, removed, paused, poll 500, poll 16, running, removed, paused";
    // Under the ad dialog the window is inactive: no polls, and what the pad pressed meanwhile is dropped.
    QTest::newRow("no input while the window is inactive")
        << "dialog ?poll hold:a close ?poll ?dropped release:a a ?dropped" << "poll off, poll 16, dropped 0, dropped 1";
}

void TestGamepads::buttons()
{
    QFETCH(QString, script);
    QStringList seen;
    Game g;
    auto pad = std::make_unique<VirtualPad>();
    g.poll();
    std::unique_ptr<InnerActiveAdDialog> dialog;
    connect(g.pads, &Gamepads::padRemoved, this, [&seen] { seen << QStringLiteral("removed"); });
    const auto colors = [](const BlockDropPiece &p) { return QStringLiteral("%1%2%3").arg(p.color(0)).arg(p.color(1)).arg(p.color(2)); };
    for (const QString &word : script.split(u' ')) {
        const QString value = word.section(u'=', 1);
        if (word == "?x")
            seen << QStringLiteral("x %1").arg(g.t.curX());
        else if (word == "?y")
            seen << QStringLiteral("y %1").arg(g.t.curY());
        else if (word == "?dropped")
            seen << QStringLiteral("dropped %1").arg(g.t.numPiecesDropped());
        else if (word == "?piece")
            seen << "piece " + colors(g.t.curPiece());
        else if (word == "?hold")
            seen << "hold " + colors(g.t.holdPiece());
        else if (word == "?state")
            seen << g.state();
        else if (word == "?poll")
            seen << (g.pollTimer->isActive() ? QStringLiteral("poll %1").arg(g.pollTimer->interval()) : QStringLiteral("poll off"));
        else if (word.startsWith("leftx="))
            pad->setAxis(SDL_CONTROLLER_AXIS_LEFTX, value.toInt());
        else if (word.startsWith("lefty="))
            pad->setAxis(SDL_CONTROLLER_AXIS_LEFTY, value.toInt());
        else if (word.startsWith("t="))
            g.now = value.toInt();
        else if (word.startsWith("hold:") || word.startsWith("release:"))
            pad->setButton(buttonNamed(word.section(u':', 1)), word.startsWith("hold:"));
        else if (word == "unplug")
            pad->unplug();
        else if (word == "plug")
            pad = std::make_unique<VirtualPad>();
        else if (word == "pause")
            g.board->pause();
        else if (word == "dialog") {
            dialog = std::make_unique<InnerActiveAdDialog>(QByteArray(), QByteArray(), QStringLiteral("https://ads.example/"), QString(),
                                                           false, QStringLiteral("Skip"), QStringLiteral("Click"), true, 10,
                                                           QStringLiteral("Skip in"), g.board);
            dialog->open();
            QTRY_COMPARE(QApplication::activeWindow(), dialog.get());
        } else if (word == "close") {
            dialog->reject();
            // As the window manager does; the offscreen platform leaves that to us.
            g.window.activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(&g.window));
        } else {
            QVERIFY2(buttonNamed(word) != SDL_CONTROLLER_BUTTON_INVALID, qPrintable(word));
            pad->setButton(buttonNamed(word), true);
            g.poll();
            pad->setButton(buttonNamed(word), false);
        }
        if (!word.startsWith(u'?') && g.pollTimer->isActive())
            g.poll();
    }
    QTEST(seen.join(", "), "log");
}

QTEST_MAIN(TestGamepads)
#include "tst_gamepads.moc"
