// SPDX-FileCopyrightText: 2026 The Tumblox developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Saving and resuming the game in progress: games that go on the same after a
// round trip through the file, files that must not be trusted, and when the
// board saves, resumes and lets go of a save.
#include "blockdropboardtestaccess.h"
#include "filebytes.h"
#include "savedgamefile.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <sys/stat.h>

namespace {

constexpr int MoreBars = 12;

// A board off the network that saves into a folder of its own. Each
// restart() is a new start of the program on the same folder.
struct Game
{
    QTemporaryDir dir;
    std::unique_ptr<BlockDropBoard> board;

    void restart()
    {
        board.reset();
        board = std::make_unique<BlockDropBoard>();
        t().highScoreDirectory() = dir.path();
    }
    // The first ad, which brings back a saved game.
    void ready() { t().skipAds(); }
    BlockDropBoardTestAccess t() { return { *board }; }
    QString path() const { return SavedGameFile(dir.path()).filePath(); }
    // What the file holds once the board's writes are done.
    QByteArray saved()
    {
        t().flushSaves();
        return readFile(path());
    }
};

// The same moves on every board: spread over the columns and turned now and
// then; the wait after a clearing is cut short by the fall tick.
void playBar(BlockDropBoard &board, int n)
{
    BlockDropBoardTestAccess t{ board };
    if (!t.curPiece().isReal())
        t.fallTick();
    for (int turn = n % 3; turn > 0; --turn)
        board.rotate();
    const int column = n * 5 % BlockDropGrid::BoardWidth;
    for (int step = 0; step < BlockDropGrid::BoardWidth && t.curX() != column; ++step)
        t.curX() > column ? board.left() : board.right();
    board.drop();
}

} // namespace

class TestSavedGame : public QObject
{
    Q_OBJECT

private slots:
    void roundTrip_data();
    void roundTrip();
    void badFiles_data();
    void badFiles();
    void lifecycle_data();
    void lifecycle();
};

void TestSavedGame::roundTrip_data()
{
    QTest::addColumn<QByteArray>("slot"); // starts the game
    QTest::addColumn<int>("bars"); // landed before the save
    QTest::addColumn<QString>("then"); // "hold", "pause", "clear" (leaves the board waiting after a clearing)

    QTest::newRow("score, first bar") << QByteArray("start") << 0 << "";
    QTest::newRow("score, hold filled") << QByteArray("start") << 8 << "hold";
    QTest::newRow("lines, waiting after a clearing") << QByteArray("startLineMode") << 5 << "clear";
    QTest::newRow("timer at level 2, paused, hold filled") << QByteArray("startTimerMode") << 37 << "hold pause";
}

// Saved, then started again from the file: the same state, the counters
// shown again, and the same game for the next bars, pieces drawn included.
void TestSavedGame::roundTrip()
{
    QFETCH(QByteArray, slot);
    QFETCH(int, bars);
    QFETCH(QString, then);

    Game played;
    played.restart();
    played.ready();
    QVERIFY(QMetaObject::invokeMethod(played.board.get(), slot.constData()));
    for (int n = 0; n < bars; ++n)
        playBar(*played.board, n);
    if (then.contains(QLatin1String("clear"))) {
        played.t().setFallingPiece(4, 4, 4); // a run by itself
        played.board->drop();
    }
    if (then.contains(QLatin1String("hold")))
        played.board->hold();
    if (then.contains(QLatin1String("pause")))
        played.board->pause();
    played.t().saveGame();
    const SavedGame saved = played.t().savedGame();

    Game resumed;
    QVERIFY(QFile::copy(played.path(), resumed.path()));
    if (played.t().isPaused())
        played.board->pause();
    for (int n = bars; n < bars + MoreBars; ++n)
        playBar(*played.board, n);
    const QByteArray wentOn = played.t().savedGame().toJson();

    resumed.restart();
    QSignalSpy modes(resumed.board.get(), &BlockDropBoard::modeChanged);
    QList<int> counters; // as the window is told them
    for (const auto signal : { &BlockDropBoard::scoreChanged, &BlockDropBoard::levelChanged, &BlockDropBoard::linesRemovedChanged })
        connect(resumed.board.get(), signal, this, [&counters](int value) { counters << value; });
    resumed.ready();
    QVERIFY(resumed.t().isPaused());
    QCOMPARE(resumed.t().savedGame().toJson(), saved.toJson());
    QCOMPARE(modes.constLast().at(0).toString(), saved.mode);
    QCOMPARE(counters, QList<int>({ saved.score, saved.mode == "timer" ? saved.timeLeft : saved.level, saved.numLinesRemoved }));
    resumed.board->pause();
    for (int n = bars; n < bars + MoreBars; ++n)
        playBar(*resumed.board, n);
    QCOMPARE(resumed.t().savedGame().toJson(), wentOn);
}

void TestSavedGame::badFiles_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("kind"); // "file", "folder" or "fifo" in the save's place
    QTest::addColumn<QString>("reason"); // in the warning
    QTest::addColumn<QString>("aside"); // the name it is moved to

    const auto file = [](const char *name, const char *reason, const QByteArray &bytes) {
        QTest::newRow(name) << bytes << "file" << reason << SavedGameFile::fileName() + ".bad";
    };
    // Compact, so each value can be found as text and changed.
    const QByteArray valid = QJsonDocument::fromJson(newGame(1, 12345).toJson()).toJson(QJsonDocument::Compact);
    const auto changed = [&valid](const char *from, const char *to) { return QByteArray(valid).replace(from, to); };
    file("not JSON", "not JSON", valid.left(valid.size() / 2));
    file("unknown version", "version 1", changed("\"version\":1", "\"version\":2"));
    file("over 64 KiB", "larger than", valid + QByteArray(64 * 1024, ' '));
    file("grid of one row", "rows", changed("\"000000000000\",", ""));
    file("cell 8", "no colour", changed("000000000000", "000080000000"));
    file("level 0", "level is not", changed("\"level\":1", "\"level\":0"));
    file("level not that of the pieces", "level does not follow", changed("\"level\":1", "\"level\":3"));
    file("negative score", "score is not", changed("\"score\":0", "\"score\":-15"));
    file("score not whole", "score is not", changed("\"score\":0", "\"score\":1.5"));
    file("count beyond an int", "blocksRemoved is not", changed("\"blocksRemoved\":0", "\"blocksRemoved\":2147483648"));
    file("pieces that would overflow", "piecesDropped is not", changed("\"piecesDropped\":0", "\"piecesDropped\":2147483647").replace("\"level\":1", "\"level\":61356676"));
    file("falling piece off the grid", "x is not", changed("\"x\":6", "\"x\":12"));
    file("falling piece on a block", "on a block", changed("000000000000", "000000100000").replace("\"y\":28", "\"y\":1"));
    file("colour 0 in a real piece", "nextPiece colour", changed("[4,5,6]", "[4,0,6]"));
    file("empty piece with a colour", "holdPiece colour", changed("[0,0,0]", "[0,3,0]"));
    file("timer game without time", "no time left", changed("\"mode\":\"score\"", "\"mode\":\"timer\""));
    file("random state missing", "randomState is not", changed("\"randomState\":12345,", ""));
    QTest::newRow("first aside name taken") << changed("\"mode\":\"score\"", "\"mode\":\"race\"") << "file" << "no game mode"
                                            << SavedGameFile::fileName() + ".bad-2";
    QTest::newRow("a folder") << QByteArray() << "folder" << "not a plain file" << SavedGameFile::fileName() + ".bad";
    QTest::newRow("a FIFO, which would block the read") << QByteArray() << "fifo" << "not a plain file" << SavedGameFile::fileName() + ".bad";
}

// One warning, the credits as on a first start, and the file moved aside
// where no later save overwrites it.
void TestSavedGame::badFiles()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, kind);
    QFETCH(QString, reason);
    QFETCH(QString, aside);

    Game g;
    const QString asidePath = g.dir.filePath(aside);
    if (kind == "folder")
        QVERIFY(QDir().mkdir(g.path()));
    else if (kind == "fifo")
        QVERIFY(::mkfifo(QFile::encodeName(g.path()).constData(), 0600) == 0);
    else
        QVERIFY(writeFile(g.path(), bytes));
    QVERIFY(!aside.endsWith("-2") || QFile(g.dir.filePath(SavedGameFile::fileName() + ".bad")).open(QIODevice::WriteOnly));
    g.restart();
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^Saved game: .* cannot be used \\(.*" + QRegularExpression::escape(reason)
                                                          + ".*\\); moved to .*" + QRegularExpression::escape(aside) + ", starting without it$"));
    QTest::failOnWarning(QRegularExpression(".*"));
    g.ready();
    QVERIFY(g.t().showingCredits() && !g.t().isStarted());
    QVERIFY(!QFileInfo::exists(g.path()));
    QVERIFY(QFileInfo::exists(asidePath));
    // Never opened: a FIFO would block the reader.
    const auto asideBytes = [&] { return kind == "file" ? readFile(asidePath) : QByteArray(); };
    QCOMPARE(asideBytes(), bytes);

    g.board->start();
    g.board->pause();
    QVERIFY(SavedGame::fromJson(g.saved(), nullptr));
    QCOMPARE(asideBytes(), bytes);
}

// Words run in order: a slot's name calls it, "over" ends the game, "restart" starts the program again on the
// same folder, "milestone" lands a bar that brings the level's ad and saves while it lands. ?file logs "saved"
// when the file holds the board's state, "none" or "other"; ?landing whether the save while landing kept the bar
// at rest, not half fixed into the grid; ?state as in the board's test.
void TestSavedGame::lifecycle_data()
{
    QTest::addColumn<QString>("script");
    QTest::addColumn<QString>("log");

    QTest::newRow("a resting bar, Pause and Quit save; a hold alone does not")
        << "start ?file drop ?file hold ?file pause ?file pause hold quit ?file"
        << "none, saved, other, saved, saved";
    QTest::newRow("New Game replaces a restored game and lets go of its save")
        << "start drop restart start ?state ?file restart ?state" << "running, none, credits";
    QTest::newRow("New Game during a game lets go of the save") << "start drop start ?file" << "none";
    QTest::newRow("game over deletes the save") << "start drop over ?file restart ?state" << "none, credits";
    QTest::newRow("a save while the bar of a level's ad lands keeps the bar at rest")
        << "start milestone ?landing ?state ?file" << "at rest, paused, saved";
    QTest::newRow("a timer game comes back with its clock stopped until Pause")
        << "startTimerMode drop restart ?state pause ?state" << "paused, running with clock";
}

void TestSavedGame::lifecycle()
{
    QFETCH(QString, script);
    QFETCH(QString, log);

    Game g;
    g.restart();
    g.ready();
    QStringList seen;
    QByteArray atRest, landing;
    for (const QString &word : script.split(u' ')) {
        BlockDropBoardTestAccess t = g.t();
        if (word == "over") {
            t.endGame();
        } else if (word == "restart") {
            g.restart();
            g.ready();
        } else if (word == "?file") {
            const QByteArray saved = g.saved();
            seen << (!QFileInfo::exists(g.path()) ? "none" : saved == t.savedGame().toJson() ? "saved" : "other");
        } else if (word == "milestone") { // the 70th bar rests on the floor; the level it brings pauses the game for an ad
            t.numPiecesDropped() = 69, t.level() = 2, t.setFallingPiece(5, 6, 4, 2, 1);
            atRest = t.savedGame().toJson();
            connect(g.board.get(), &BlockDropBoard::levelChanged, this, [t, &g, &landing]() mutable { t.saveGame(), landing = g.saved(); });
            t.landPiece();
        } else if (word == "?landing") {
            seen << (landing == atRest ? "at rest" : "other");
        } else if (word == "?state") {
            seen << (t.showingCredits() ? "credits" : t.isPaused() ? "paused" : "running") + QString(t.secondsTimer()->isActive() ? " with clock" : "");
        } else {
            QVERIFY2(QMetaObject::invokeMethod(g.board.get(), word.toLatin1().constData()), qPrintable(word));
        }
    }
    QCOMPARE(seen.join(", "), log);
}

QTEST_MAIN(TestSavedGame)
#include "tst_savedgame.moc"
