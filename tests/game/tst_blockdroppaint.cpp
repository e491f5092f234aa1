// SPDX-FileCopyrightText: 2026 The Tumblox developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "blockdropboard.h"
#include "blockdropboardtestaccess.h"
#include "blockdroprenderer.h"
#include "referenceplayfield.h"

#include <QImageReader>
#include <QLabel>
#include <QPainter>
#include <QTemporaryDir>
#include <QtTest>

class TestBlockDropPaint : public QObject
{
    Q_OBJECT

private slots:
    void playfield_data();
    void playfield();
    void screens_data();
    void screens();
    void preview();
    void images_data();
    void images();
};

namespace {

// A started, empty board whose contents rectangle has the given size.
void prepare(BlockDropBoard &board, QSize contents)
{
    board.resize(contents + 2 * QSize(board.frameWidth(), board.frameWidth()));
    BlockDropBoardTestAccess t{board};
    t.loading() = false;
    t.started() = true;
    t.grid().clear();
}

class MutedCues : public GameCues
{
public:
    MutedCues() { setMuted(true); }

protected:
    void start(Cue) override {}
};

QImage render(QWidget &widget)
{
    QImage image(widget.size(), QImage::Format_ARGB32_Premultiplied);
    widget.render(&image);
    return image;
}

} // namespace

void TestBlockDropPaint::playfield_data()
{
    QTest::addColumn<QSize>("contents");
    QTest::addColumn<QPoint>("piece");
    QTest::addColumn<QSize>("later");
    QTest::newRow("even cells") << QSize(190, 400) << QPoint(5, 12) << QSize(190, 400);
    QTest::newRow("piece above the top") << QSize(190, 400) << QPoint(6, 28) << QSize(190, 400);
    QTest::newRow("uneven cells, piece on the floor") << QSize(203, 411) << QPoint(0, 1) << QSize(203, 411);
    QTest::newRow("wide cells, piece at the right wall") << QSize(481, 397) << QPoint(11, 25) << QSize(481, 397);
    QTest::newRow("no room") << QSize(11, 25) << QPoint(5, 12) << QSize(11, 25);
    QTest::newRow("resized") << QSize(190, 400) << QPoint(5, 12) << QSize(300, 470);
}

// The cached playfield must match stretching every image into its cell at
// paint time: on the first paint, from the cache, and after the grid or the
// size changed.
void TestBlockDropPaint::playfield()
{
    QFETCH(QSize, contents);
    QFETCH(QPoint, piece);
    QFETCH(QSize, later);
    BlockDropBoard board;
    prepare(board, contents);
    BlockDropBoardTestAccess t{board};
    // All colours, empty cells among them, and a clear top.
    for (int y = 0; y < 20; ++y) {
        for (int x = 0; x < BlockDropGrid::BoardWidth; ++x)
            t.grid().setCell(x, y, (x * 7 + y * 3) % 8);
    }
    t.setFallingPiece(1, 4, 7, piece.x(), piece.y());
    QFrame frame;
    frame.setFrameStyle(QFrame::Panel | QFrame::Sunken);
    for (int pass = 0; pass < 3; ++pass) {
        if (pass == 2 && later == contents)
            t.grid().setCell(3, 2, 0);
        if (pass == 2)
            board.resize(board.size() + later - contents);
        frame.resize(board.size());
        QImage expected = render(frame);
        const QRect area = board.contentsRect();
        QPainter painter(&expected);
        referencePlayfield(painter, area, QSize(area.width() / 12, area.height() / 26), t.grid(), t.curPiece(), t.curX(), t.curY());
        painter.end();
        QCOMPARE(render(board), expected);
    }
}

void TestBlockDropPaint::screens_data()
{
    QTest::addColumn<QString>("state");
    QTest::addColumn<QString>("mode");
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<QString>("text");
    const QString credits = "Quillo / the Tumblox developers\n Tumblox \n v1.0.0 \n https://quillo.example/tumblox";
    const QString score = "Game Over!\n Top 10 scores \"SCORE\":\n";
    QTest::newRow("loading beats everything") << "loading credits started paused over" << "" << QByteArray() << "Loading, please wait!";
    QTest::newRow("credits before a game") << "credits paused over" << "" << QByteArray() << credits;
    QTest::newRow("credits ignored while started") << "credits started" << "" << QByteArray() << QString();
    QTest::newRow("pause beats game over") << "started paused over" << "" << QByteArray() << "Pause";
    QTest::newRow("game over before any game") << "over" << "" << QByteArray() << "Game Over!\n Top 10 scores \"\":\n--- 450 --- \n";
    QTest::newRow("score placed and the first equal marked") << "over" << "score" << QByteArray("900\n450\n300\n") << score + "900\n--- 450 --- \n450\n300\n";
    QTest::newRow("ten shown, the eleventh unmarked") << "over" << "score" << QByteArray("900\n").repeated(10) << score + QString("900\n").repeated(10);
    QTest::newRow("lines: removed blocks, marked by text") << "over" << "lines" << QByteArray("12\n009\n") << "Game Over!\n Top 10 scores \"LINES\":\n12\n009\n--- 9 --- \n";
}

void TestBlockDropPaint::screens()
{
    QFETCH(QString, state);
    QFETCH(QString, mode);
    QFETCH(QByteArray, stored);
    QFETCH(QString, text);
    QTemporaryDir scores;
    QFile file(scores.filePath("highscores_" + mode + ".txt"));
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(stored) == stored.size());
    file.close();
    BlockDropBoard board;
    prepare(board, QSize(190, 400));
    BlockDropBoardTestAccess t{board};
    t.highScoreDirectory() = scores.path();
    t.mode() = mode;
    t.score() = 450;
    t.numLinesRemoved() = 9;
    if (state.contains("over"))
        t.endGame();
    t.loading() = state.contains("loading");
    t.showingCredits() = state.contains("credits");
    t.started() = state.contains("started");
    t.paused() = state.contains("paused");
    QCOMPARE(t.screenText(), text);
    QCOMPARE(t.screenText().isNull(), text.isNull());

    // The text stands out on the contents, in the sunken frame.
    const QImage shown = render(board);
    const QRect area = board.contentsRect();
    QImage bare(area.size(), shown.format());
    bare.fill(shown.pixel(area.topLeft()));
    QVERIFY(shown.copy(area) != bare);
    QVERIFY(shown.pixel(0, 0) != shown.pixel(area.topLeft()));

    // Muted, a note says so in the top right corner, over whatever is shown.
    MutedCues cues;
    board.setCues(&cues);
    QImage muted = render(board);
    const QRect corner(area.left() + area.width() / 4, area.top(), area.width() * 3 / 4, area.height() / 10);
    QVERIFY(muted.copy(corner) != shown.copy(corner));
    QPainter(&muted).drawImage(corner, shown.copy(corner));
    QCOMPARE(muted, shown);
}

// The preview scales with the board's cells, each square one pixel in, on
// the label's own background; a label that is gone is left alone.
void TestBlockDropPaint::preview()
{
    QWidget window;
    auto *label = new QLabel(&window);
    QPalette palette = label->palette();
    palette.setColor(QPalette::Window, Qt::magenta);
    label->setPalette(palette);
    auto *board = new BlockDropBoard(&window);
    prepare(*board, QSize(240, 520));
    board->setNextPieceLabel(label);
    board->setHoldPieceLabel(label);
    BlockDropBoardTestAccess t{*board};
    t.nextPiece() = BlockDropPiece::withColors(1, 5, 7);
    t.showNextPiece();

    const QImage shown = label->pixmap().toImage();
    QCOMPARE(shown.size(), QSize(20, 60));
    QImage expected(20, 60, shown.format());
    expected.fill(Qt::magenta);
    QPainter painter(&expected);
    for (int k = 0; k < 3; ++k)
        BlockDropRenderer().drawSquare(painter, 0, 20 * k, t.nextPiece().color(k), QSize(20, 20));
    painter.end();
    QCOMPARE(shown, expected);

    delete label;
    t.showNextPiece();
    t.showHoldPiece();
}

void TestBlockDropPaint::images_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<bool>("animated");
    QTest::addColumn<int>("code");
    // Cell code 1 shows block2 and the background block0; block1, 9 and 10 are unused.
    for (int n = 0; n <= 10; ++n)
        QTest::addRow("block%d", n) << QStringLiteral(":/images/block%1_m.png").arg(n) << QSize(20, 20) << false << (n == 0 ? 8 : n >= 2 && n <= 8 ? n - 1 : -1);
    for (const char *name : {"rotate", "left", "right", "down", "drop", "save"})
        QTest::newRow(name) << QStringLiteral(":/images/%1.png").arg(QLatin1String(name)) << QSize(32, 32) << false << -1;
    QTest::newRow("icon") << ":/images/icon.png" << QSize(80, 80) << false << -1;
    QTest::newRow("ad1") << TUMBLOX_AD_ASSETS_DIR "/ad1.png" << QSize(300, 100) << false << -1;
    QTest::newRow("ad2") << TUMBLOX_AD_ASSETS_DIR "/ad2.png" << QSize(300, 100) << false << -1;
    QTest::newRow("ad3, animated") << TUMBLOX_AD_ASSETS_DIR "/ad3.gif" << QSize(300, 100) << true << -1;
}

// The committed artwork, read as the game and the ad banner read it; the
// resources live in a static library, so they must be registered to load.
void TestBlockDropPaint::images()
{
    QFETCH(QString, path);
    QFETCH(int, code);
    QVERIFY2(!QPixmap(path).isNull(), qPrintable(path));
    QImageReader reader(path);
    QTEST(reader.size(), "size");
    QTEST(reader.imageCount() > 1 && reader.loopCount() == -1, "animated");
    if (code >= 0)
        QCOMPARE(BlockDropRenderer::imagePath(code), path);
}

QTEST_MAIN(TestBlockDropPaint)
#include "tst_blockdroppaint.moc"
