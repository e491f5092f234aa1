// SPDX-FileCopyrightText: 2026 The Tumblox developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The real game in a real X server (Xvfb) with a window manager (openbox):
// F11 leaves full screen and comes back, and the mode and the size the player
// chose outlive a restart; the first start itself is no choice.
#include "adserverprocess.h"
#include "filebytes.h"

#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <memory>
#include <sys/prctl.h>

namespace {
// X servers and window managers are slow to start on a busy machine.
const int XWait = 20000;
const QSize Screen(1920, 1080);
}

class TestRealWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void fullScreenKey();
    void cleanupTestCase();

private:
    std::unique_ptr<QProcess> start(const QString &program, const QStringList &arguments);
    // Output of an X client run on the virtual display.
    QString x(const QString &program, const QStringList &arguments);
    bool startDisplay();
    QString onGame(const QStringList &command);
    QSize gameWindow();
    void restartGame();
    QString saved();

    QTemporaryDir home;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    std::unique_ptr<QProcess> display;
    std::unique_ptr<QProcess> windowManager;
    std::unique_ptr<AdServerProcess> server;
    std::unique_ptr<QProcess> game;
};

std::unique_ptr<QProcess> TestRealWindow::start(const QString &program, const QStringList &arguments)
{
    auto process = std::make_unique<QProcess>();
    process->setProcessEnvironment(environment);
    process->setStandardErrorFile(QProcess::nullDevice());
    // Gone with us even when we are killed and no destructor runs.
    process->setChildProcessModifier([] { prctl(PR_SET_PDEATHSIG, SIGTERM); });
    process->start(program, arguments);
    return process;
}

QString TestRealWindow::x(const QString &program, const QStringList &arguments)
{
    const auto process = start(program, arguments);
    process->waitForFinished();
    return QString::fromLocal8Bit(process->readAllStandardOutput()).trimmed();
}

// Xvfb picks a display whose sockets are free, abstract ones other containers share included,
// and names it once it serves; without -noreset it would restart when its last client leaves.
bool TestRealWindow::startDisplay()
{
    display = start(QStringLiteral("Xvfb"), { QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-noreset"),
                                              QStringLiteral("-nolisten"), QStringLiteral("tcp"), QStringLiteral("-screen"),
                                              QStringLiteral("0"), QStringLiteral("%1x%2x24").arg(Screen.width()).arg(Screen.height()) });
    const auto named = [&] { return display->canReadLine() || display->state() != QProcess::Running; };
    if (!display->waitForStarted() || !QTest::qWaitFor(named, XWait) || !display->canReadLine())
        return false;
    environment.insert(QStringLiteral("DISPLAY"), u':' + QString::fromLatin1(display->readLine().trimmed()));
    return true;
}

void TestRealWindow::initTestCase()
{
    for (const char *tool : { "Xvfb", "openbox", "xdotool", "xprop" }) {
        if (QStandardPaths::findExecutable(QLatin1String(tool)).isEmpty())
            QFAIL(qPrintable(QLatin1String(tool) + QStringLiteral(" is missing; tools/build-packages names its package")));
    }
    QVERIFY(home.isValid());
    environment.insert(QStringLiteral("HOME"), home.path());
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home.path());
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    environment.remove(QStringLiteral("QT_SCALE_FACTOR"));

    QVERIFY(startDisplay());
    windowManager = start(QStringLiteral("openbox"), { QStringLiteral("--sm-disable") });
    const QStringList wmCheck{ QStringLiteral("-root"), QStringLiteral("_NET_SUPPORTING_WM_CHECK") };
    QTRY_VERIFY_WITH_TIMEOUT(x(QStringLiteral("xprop"), wmCheck).contains(QLatin1String("window id")), XWait);
    server = std::make_unique<AdServerProcess>();
    environment.insert(QStringLiteral("TUMBLOX_AD_SERVER"), server->url());
}

QString TestRealWindow::onGame(const QStringList &command)
{
    return x(QStringLiteral("xdotool"), QStringList{ QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                                                     QStringLiteral("--name"), QStringLiteral("^Tumblox$") } + command);
}

// The game window's size as the X server has it; empty until it is shown.
QSize TestRealWindow::gameWindow()
{
    static const QRegularExpression size(QStringLiteral("WIDTH=(\\d+)\\nHEIGHT=(\\d+)"));
    const QRegularExpressionMatch match = size.match(onGame({ QStringLiteral("getwindowgeometry"), QStringLiteral("--shell") }));
    return match.hasMatch() ? QSize(match.captured(1).toInt(), match.captured(2).toInt()) : QSize();
}

void TestRealWindow::restartGame()
{
    if (game) {
        game->terminate();
        game->waitForFinished();
    }
    game = start(QStringLiteral(TUMBLOX_GAME_PATH), {});
    QTRY_VERIFY_WITH_TIMEOUT(!gameWindow().isEmpty(), XWait);
}

QString TestRealWindow::saved()
{
    return QString::fromUtf8(readFile(home.filePath(QStringLiteral("InnerActive/Quillo_Tumblox_QT.conf"))));
}

void TestRealWindow::fullScreenKey()
{
    restartGame();
    QVERIFY(gameWindow().width() < Screen.width() && gameWindow().height() < Screen.height());
    QVERIFY(!saved().contains(QLatin1String("[window]")));
    const QSize window(600, 950);
    onGame({ QStringLiteral("windowsize"), QStringLiteral("600"), QStringLiteral("950") });
    QTRY_VERIFY_WITH_TIMEOUT(saved().contains(QLatin1String(" 600 950)")), XWait);

    // Pressed once the window manager has given the game the focus.
    const QStringList f11{ QStringLiteral("windowactivate"), QStringLiteral("--sync"), QStringLiteral("key"), QStringLiteral("F11") };
    onGame(f11);
    QTRY_COMPARE_WITH_TIMEOUT(gameWindow(), Screen, XWait);
    QTRY_VERIFY_WITH_TIMEOUT(saved().contains(QLatin1String("fullScreen=true")), XWait);
    restartGame();
    QTRY_COMPARE_WITH_TIMEOUT(gameWindow(), Screen, XWait);

    onGame(f11);
    QTRY_COMPARE_WITH_TIMEOUT(gameWindow(), window, XWait);
    QTRY_VERIFY_WITH_TIMEOUT(saved().contains(QLatin1String("fullScreen=false")), XWait);
    restartGame();
    QTRY_COMPARE_WITH_TIMEOUT(gameWindow(), window, XWait);
}

void TestRealWindow::cleanupTestCase()
{
    // Asked to stop, so the X server removes its socket and lock file.
    for (QProcess *process : { game.get(), windowManager.get(), display.get() }) {
        if (process) {
            process->terminate();
            process->waitForFinished();
        }
    }
}

QTEST_GUILESS_MAIN(TestRealWindow)
#include "tst_realwindow.moc"
