// SPDX-FileCopyrightText: 2026 The Tumblox developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The real game, played and killed at random moments, then started again:
// each start resumes the last game saved, whole and exactly as it was saved.
// The game runs on Qt's VNC platform, whose keyboard this test drives.
#include "adserverprocess.h"
#include "blockdropboardtestaccess.h"
#include "filebytes.h"
#include "savedgamefile.h"

#include <QProcess>
#include <QRandomGenerator>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

#include <csignal>
#include <sys/stat.h>

namespace {

const int Wait = 10000;
const int Rounds = 7;
const int BarsPerRound = 20;
// Kills fall anywhere in the time the game takes to play the bars it was sent.
const int KillWindowMs = 200;

enum Keysym : quint32 { AltLeft = 0xffe9, Left = 0xff51, Right = 0xff53, Space = 0x20, LetterP = 0x70 };

// Just enough of a VNC client (RFB 3.3, RFC 6143) to press keys.
class VncKeyboard
{
public:
    // Version 3.3, no authentication, a shared desktop; the server's screen size, pixel format and name.
    bool connectTo(quint16 port)
    {
        socket.connectToHost(QHostAddress::LocalHost, port);
        const QByteArray version = read(12);
        socket.write(version);
        const bool open = version == "RFB 003.003\n" && read(4) == QByteArray("\0\0\0\x01", 4) && socket.write("\x01") == 1;
        const QByteArray init = read(24);
        return open && init.size() == 24 && !read(qFromBigEndian<quint32>(init.constData() + 20)).isNull();
    }

    // Down in order, up in reverse, as a chord is played.
    void press(const QList<quint32> &keys)
    {
        for (const quint32 key : keys)
            send(true, key);
        for (auto key = keys.crbegin(); key != keys.crend(); ++key)
            send(false, *key);
        socket.flush();
    }

private:
    QByteArray read(qint64 size)
    {
        while (socket.bytesAvailable() < size && socket.waitForReadyRead(Wait)) {
        }
        return socket.read(size);
    }

    void send(bool down, quint32 key)
    {
        char event[8] = { 4, char(down), 0, 0 };
        qToBigEndian(key, event + 4);
        socket.write(event, sizeof event);
    }

    QTcpSocket socket;
};

// Each save is a new file renamed over the old one.
ino_t inode(const QString &path)
{
    struct stat info = {};
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_ino : 0;
}

} // namespace

class TestKilledGame : public QObject
{
    Q_OBJECT

private slots:
    void killAtRandomMoments();
};

void TestKilledGame::killAtRandomMoments()
{
    const QByteArray seedText = qgetenv("TUMBLOX_KILL_SEED");
    const quint32 seed = seedText.isEmpty() ? QRandomGenerator::global()->generate() : seedText.toUInt();
    qInfo("Seed %u; TUMBLOX_KILL_SEED=%u plays the same keys and kills again", seed, seed);
    QRandomGenerator random(seed);

    QTemporaryDir dir;
    // A copy of its own, which saves beside itself.
    const QString game = dir.filePath(QStringLiteral("tumblox"));
    QVERIFY(QFile::copy(QStringLiteral(TUMBLOX_GAME_PATH), game));
    SavedGameFile file(dir.path());
    const QString highScores = dir.filePath(QStringLiteral("highscores_score.txt"));
    AdServerProcess server;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("TUMBLOX_AD_SERVER"), server.url());
    environment.insert(QStringLiteral("HOME"), dir.path());

    // The ways a round ends: a kill, or a signal that asks to end.
    const int endings[Rounds] = { SIGKILL, SIGTERM, SIGKILL, SIGINT, SIGKILL, SIGHUP, SIGKILL };
    for (int round = 0; round < Rounds; ++round) {
        // Every other round goes on with the game that the last one left.
        std::optional<SavedGame> last = SavedGame::fromJson(readFile(file.filePath()), nullptr);
        if (!last || round % 2 == 0) {
            // At level 10 bars fall fast, so a board waiting after a clearing soon brings the next. The
            // bars of two rounds can neither end the game nor reach level 12, whose ad would take the keys.
            file.save(newGame(10, random.generate()));
            file.flush();
            last = SavedGame::fromJson(readFile(file.filePath()), nullptr);
        }
        QVERIFY(last);
        const int ending = endings[round];
        const ino_t before = inode(file.filePath());
        const QByteArray scoresBefore = readFile(highScores);

        QTcpServer probe; // for a free port
        probe.listen(QHostAddress::LocalHost, 0);
        const quint16 port = probe.serverPort();
        probe.close();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("vnc:size=800x480:port=%1").arg(port));
        QProcess player;
        player.setProcessEnvironment(environment);
        player.setStandardErrorFile(QProcess::nullDevice());
        player.start(game, QStringList());
        // Restored, the game is written back at once: it is on the board, paused.
        QTRY_VERIFY_WITH_TIMEOUT(inode(file.filePath()) != before, Wait);
        QCOMPARE(readFile(file.filePath()), last->toJson());
        const ino_t restored = inode(file.filePath());

        // Pause goes on once its button's animated click is over; drops before that are ignored.
        // The first bar then saves the game.
        VncKeyboard keyboard;
        QVERIFY(keyboard.connectTo(port));
        keyboard.press({ AltLeft, LetterP });
        QVERIFY(QTest::qWaitFor([&] {
            keyboard.press({ Space });
            return QTest::qWaitFor([&] { return inode(file.filePath()) != restored; }, 20);
        }, Wait));
        for (int bar = 0; bar < BarsPerRound; ++bar) {
            for (int step = int(random.bounded(6)); step > 0; --step)
                keyboard.press({ bar % 2 ? Left : Right });
            keyboard.press({ Space });
        }
        QVERIFY2(!player.waitForFinished(int(random.bounded(KillWindowMs))), "the game ended by itself");
        ::kill(pid_t(player.processId()), ending);
        QVERIFY(player.waitForFinished(Wait));
        QCOMPARE(player.exitStatus(), ending == SIGKILL ? QProcess::CrashExit : QProcess::NormalExit);
        QCOMPARE(player.exitCode(), ending == SIGKILL ? SIGKILL : 0);

        // Whole, or gone because the game ended and went into the table.
        const QByteArray saved = readFile(file.filePath());
        if (saved.isEmpty())
            QVERIFY2(readFile(highScores) != scoresBefore, "the save is gone, yet no game ended");
        else
            QVERIFY2(SavedGame::fromJson(saved, nullptr), saved.constData());
    }
}

QTEST_GUILESS_MAIN(TestKilledGame)
#include "tst_killedgame.moc"
