// SPDX-FileCopyrightText: 2026 The Tumblox developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Real sound, end to end: a PulseAudio server of our own with a null sink,
// recorded from its monitor while a real board plays.
#include "blockdropboardtestaccess.h"
#include "filebytes.h"
#include "gamesounds.h"
#include "gridpicture.h"
#include "soundoutput.h"

#include <QLibrary>
#include <QProcess>
#include <QRegularExpression>
#include <QSoundEffect>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <signal.h>

namespace {
constexpr int BytesPerSecond = 48000 * 2;

bool processRuns(qint64 pid)
{
    // "pid (name) state ..."
    const QByteArray line = readFile(QStringLiteral("/proc/%1/stat").arg(pid));
    return !line.isEmpty() && !line.mid(line.lastIndexOf(')') + 1).trimmed().startsWith('Z');
}

// The loudest sample from that byte on, as signed 16-bit little-endian mono.
int peak(const QByteArray &recording, qsizetype from)
{
    int loudest = 0;
    for (qsizetype i = from & ~qsizetype(1); i + 1 < recording.size(); i += 2)
        loudest = std::max(loudest, std::abs(int(qint16(quint8(recording[i]) | quint8(recording[i + 1]) << 8))));
    return loudest;
}
} // namespace

class TestSoundPlayback : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void clearingHeardThenMuted();
    void failedEffectMadeAgainWhenNeeded();
    void movesNeverPileUp();

private:
    QTemporaryDir runtime;
    qint64 serverPid = 0;
    QProcess recorder;
    QByteArray recording;
};

// The server's socket and the game's settings live in a private folder.
void TestSoundPlayback::initTestCase()
{
    QVERIFY(runtime.isValid());
    for (const char *name : { "XDG_RUNTIME_DIR", "HOME", "XDG_CONFIG_HOME" })
        qputenv(name, QFile::encodeName(runtime.path()));
    qunsetenv("PULSE_SERVER");
    QProcess server;
    server.setProcessChannelMode(QProcess::MergedChannels);
    server.start(QStringLiteral("pulseaudio"),
                 { QStringLiteral("-n"), QStringLiteral("--daemonize=yes"), QStringLiteral("--exit-idle-time=-1"),
                   QStringLiteral("-L"), QStringLiteral("module-null-sink sink_name=rec"), QStringLiteral("-L"),
                   QStringLiteral("module-native-protocol-unix") });
    const bool started = server.waitForFinished(10000) && server.exitStatus() == QProcess::NormalExit
                         && server.exitCode() == 0;
    serverPid = readFile(runtime.filePath(QStringLiteral("pulse/pid"))).trimmed().toLongLong();
    QVERIFY2(started && serverPid > 0, qPrintable(QStringLiteral("The PulseAudio server did not start (%1): %2")
                                                       .arg(server.errorString(), QString::fromLocal8Bit(server.readAll()))));

    connect(&recorder, &QProcess::readyReadStandardOutput, this, [this] { recording += recorder.readAllStandardOutput(); });
    recorder.start(QStringLiteral("parec"), { QStringLiteral("-d"), QStringLiteral("rec.monitor"), QStringLiteral("--raw"),
                                              QStringLiteral("--format=s16le"), QStringLiteral("--rate=48000"),
                                              QStringLiteral("--channels=1"), QStringLiteral("--latency-msec=20") });
    QVERIFY2(recorder.waitForStarted(), qPrintable(recorder.errorString()));
    // A fresh null sink renders two seconds after its first stream, losing what came before;
    // woken from a suspend, it starts at once.
    for (const char *suspend : { "1", "0" })
        QCOMPARE(QProcess::execute(QStringLiteral("pactl"),
                                   { QStringLiteral("suspend-sink"), QStringLiteral("rec"), QLatin1String(suspend) }),
                 0);
    QTRY_VERIFY_WITH_TIMEOUT(!recording.isEmpty(), 5000);
}

void TestSoundPlayback::cleanupTestCase()
{
    recorder.kill();
    recorder.waitForFinished();
    if (serverPid > 0) {
        QCOMPARE(::kill(pid_t(serverPid), SIGTERM), 0);
        // Ended, even if whoever adopted the daemon has not reaped it yet.
        QTRY_VERIFY(!processRuns(serverPid));
    }
}

// The bar moves with the keys and clears a run of three: heard. Muted with M, the same is silent.
void TestSoundPlayback::clearingHeardThenMuted()
{
    GameSounds sounds(nullptr, QStringLiteral(TUMBLOX_SOUND_MODULE_PATH));
    sounds.load();
    // As in the game, where they load while the first ad is fetched.
    const QList<QSoundEffect *> effects = sounds.findChildren<QSoundEffect *>();
    QCOMPARE(effects.size(), GameCues::CueCount);
    for (const QSoundEffect *effect : effects)
        QTRY_COMPARE(effect->status(), QSoundEffect::Ready);
    TestBoard g;
    BlockDropBoard &board = g.board;
    BlockDropBoardTestAccess &t = g.t;
    board.setCues(&sounds);
    board.start();

    const auto moveLeft = [&] {
        t.grid() = gridFromPicture({ "11" });
        t.setFallingPiece(4, 5, 1);
        for (int step = 0; step < 4; ++step)
            t.press(Qt::Key_Left);
    };
    const auto dropToClear = [&] {
        const int removed = t.numLinesRemoved();
        t.press(Qt::Key_Space);
        QCOMPARE(t.numLinesRemoved(), removed + 3);
        t.fallTick();
    };

    // The moves are quiet, the landing and its clearing loud. Silence on the
    // null sink is exactly zero.
    qsizetype from = recording.size();
    moveLeft();
    QTRY_VERIFY_WITH_TIMEOUT(peak(recording, from) > 300, 5000);
    QVERIFY(peak(recording, from) < 8000);
    from = recording.size();
    dropToClear();
    QTRY_VERIFY_WITH_TIMEOUT(peak(recording, from) > 8000, 5000);

    // M cuts the sound short; what the server holds already plays out.
    t.press(Qt::Key_M);
    QVERIFY(sounds.isMuted());
    const auto quietFor = [this](int bytes) {
        return recording.size() > bytes && peak(recording, recording.size() - bytes) == 0;
    };
    QTRY_VERIFY_WITH_TIMEOUT(quietFor(BytesPerSecond / 10), 5000);
    from = recording.size();
    moveLeft();
    dropToClear();
    QTRY_VERIFY_WITH_TIMEOUT(recording.size() - from > BytesPerSecond / 3, 5000);
    QCOMPARE(peak(recording, from), 0);
}

// A file that cannot be decoded: one warning, and the effect is made again only
// when it is next wanted; once the file is sound, it plays.
void TestSoundPlayback::failedEffectMadeAgainWhenNeeded()
{
    QTemporaryDir effects;
    const QString land = effects.filePath(QStringLiteral("land.wav"));
    QVERIFY(writeFile(land, "RIFF, but nothing more"));
    QTest::failOnWarning(QRegularExpression(QStringLiteral(".")));
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^Sound: cannot play .*; the game goes on silently$")));

    const auto create = reinterpret_cast<CreateSoundOutput>(
        QLibrary(QStringLiteral(TUMBLOX_SOUND_MODULE_PATH)).resolve(CreateSoundOutputName));
    QVERIFY(create);
    QObject owner;
    SoundOutput &output = *create(&owner, QUrl::fromLocalFile(effects.path()).toString() + u'/');
    const auto effect = [&owner] { return owner.findChild<QSoundEffect *>(QStringLiteral("land.wav")); };
    const QPointer<QSoundEffect> first = effect();
    QTRY_COMPARE(first->status(), QSoundEffect::Error);
    QCoreApplication::processEvents();
    QCOMPARE(effect(), first.data());

    output.play(GameCues::Land);
    QVERIFY(!first);
    QTRY_COMPARE(effect()->status(), QSoundEffect::Error);
    // Cues the module does not know are ignored.
    output.play(-1);
    output.play(GameCues::CueCount);
    QVERIFY(QFile::remove(land) && QFile::copy(QStringLiteral(TUMBLOX_EFFECTS_DIR "/land.wav"), land));
    const qsizetype from = recording.size();
    output.play(GameCues::Land);
    QTRY_VERIFY_WITH_TIMEOUT(peak(recording, from) > 3000, 5000);
    QCOMPARE(effect()->status(), QSoundEffect::Ready);
}

// A move and a colour turn share one voice that a held key cannot pile up.
void TestSoundPlayback::movesNeverPileUp()
{
    const auto create = reinterpret_cast<CreateSoundOutput>(
        QLibrary(QStringLiteral(TUMBLOX_SOUND_MODULE_PATH)).resolve(CreateSoundOutputName));
    QVERIFY(create);
    QObject owner;
    SoundOutput &output = *create(&owner, QString());
    const auto effect = [&owner](const char *name) {
        return owner.findChild<QSoundEffect *>(QLatin1String(name) + QLatin1String(".wav"));
    };
    for (const char *name : { "move", "rotate", "land" })
        QTRY_COMPARE(effect(name)->status(), QSoundEffect::Ready);
    output.play(GameCues::Move);
    QVERIFY(effect("move")->isPlaying());
    output.play(GameCues::Rotate);
    QVERIFY(!effect("rotate")->isPlaying());
    output.play(GameCues::Land);
    QVERIFY(effect("land")->isPlaying());
    // A little later the voice is free again.
    QTRY_VERIFY((output.play(GameCues::Rotate), effect("rotate")->isPlaying()));
}

QTEST_MAIN(TestSoundPlayback)
#include "tst_soundplayback.moc"
