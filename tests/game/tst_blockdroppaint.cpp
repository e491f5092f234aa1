// SPDX-FileCopyrightText: 2026 The Tumblox developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "blockdropboardtestaccess.h"
#include "blockdroprenderer.h"
#include "filebytes.h"
#include "keyhelpoverlay.h"
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
    void preview_data();
    void preview();
    void sizeHints();
    void repaints_data();
    void repaints();
    void keyHelp_data();
    void keyHelp();
    void images_data();
    void images();
};

namespace {

// A started, empty board of that contents size, saving into a folder that outlives every board.
void prepare(BlockDropBoard &board, QSize contents)
{
    static const QTemporaryDir saves;
    board.resize(contents + 2 * QSize(board.frameWidth(), board.frameWidth()));
    BlockDropBoardTestAccess t{board};
    t.highScoreDirectory() = saves.path();
    t.noAds();
    t.loading() = false;
    t.started() = true;
    t.grid().clear();
}

// The widget's paint at a device pixel ratio, as a screen of that ratio shows it.
QImage render(QWidget &widget, qreal ratio = 1)
{
    QImage image(widget.size() * ratio, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    widget.render(&image);
    return image;
}

// Counts the paints that reach the board.
class CountingBoard : public BlockDropBoard
{
public:
    int paints = 0;

protected:
    void paintEvent(QPaintEvent *event) override
    {
        ++paints;
        BlockDropBoard::paintEvent(event);
    }
};

} // namespace

void TestBlockDropPaint::playfield_data()
{
    QTest::addColumn<QSize>("contents");
    QTest::addColumn<QPoint>("piece");
    QTest::addColumn<qreal>("ratio");
    QTest::addColumn<QSize>("later");
    QTest::addColumn<qreal>("laterRatio");
    QTest::newRow("even cells") << QSize(190, 400) << QPoint(5, 12) << 1.0 << QSize(190, 400) << 1.0;
    QTest::newRow("piece entering over the top") << QSize(190, 400) << QPoint(6, 27) << 1.0 << QSize(190, 400) << 1.0;
    QTest::newRow("uneven cells at ratio 1.5, piece on the floor") << QSize(203, 411) << QPoint(0, 1) << 1.5 << QSize(203, 411) << 1.5;
    QTest::newRow("wide cells at ratio 2, piece at the right wall") << QSize(481, 397) << QPoint(11, 25) << 2.0 << QSize(481, 397) << 2.0;
    QTest::newRow("no room") << QSize(11, 25) << QPoint(5, 12) << 1.0 << QSize(11, 25) << 1.0;
    QTest::newRow("resized at ratio 1.5") << QSize(190, 400) << QPoint(6, 26) << 1.5 << QSize(300, 470) << 1.5;
    QTest::newRow("moved to a screen of ratio 2") << QSize(190, 400) << QPoint(5, 12) << 1.0 << QSize(190, 400) << 2.0;
    QTest::newRow("moved to a screen of ratio 1.5") << QSize(203, 411) << QPoint(6, 27) << 2.0 << QSize(203, 411) << 1.5;
}

// The cached playfield matches every image stretched into its cell at paint time, clipped to the
// contents: first, from the cache, and after the grid, the size or the device pixel ratio changed.
void TestBlockDropPaint::playfield()
{
    QFETCH(QSize, contents);
    QFETCH(QPoint, piece);
    QFETCH(qreal, ratio);
    QFETCH(QSize, later);
    QFETCH(qreal, laterRatio);
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
        if (pass == 2 && later == contents && laterRatio == ratio)
            t.grid().setCell(3, 2, 0);
        if (pass == 2) {
            board.resize(board.size() + later - contents);
            ratio = laterRatio;
        }
        frame.resize(board.size());
        QImage expected = render(frame, ratio);
        const QRect area = board.contentsRect();
        QPainter painter(&expected);
        painter.setClipRect(area);
        referencePlayfield(painter, area, QSize(area.width() / 12, area.height() / 26), t.grid(), t.curPiece(), t.curX(), t.curY());
        painter.end();
        QCOMPARE(render(board, ratio), expected);
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
    QVERIFY(writeFile(scores.filePath("highscores_" + mode + ".txt"), stored));
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
    CueRecorder cues;
    cues.setMuted(true);
    board.setCues(&cues);
    QImage muted = render(board);
    const QRect corner(area.left() + area.width() / 4, area.top(), area.width() * 3 / 4, area.height() / 10);
    QVERIFY(muted.copy(corner) != shown.copy(corner));
    QPainter(&muted).drawImage(corner, shown.copy(corner));
    QCOMPARE(muted, shown);
}

void TestBlockDropPaint::repaints_data()
{
    QTest::addColumn<QByteArrayList>("calls"); // slots called in turn, each of which must bring a paint
    QTest::newRow("moves and a turn") << QByteArrayList{ "left", "right", "down", "rotate" };
    QTest::newRow("a bar held, then swapped back") << QByteArrayList{ "hold", "hold" };
    QTest::newRow("pause and resume") << QByteArrayList{ "pause", "pause" };
}

// What the player does shows at once, not at the next tick of the fall timer.
void TestBlockDropPaint::repaints()
{
    QFETCH(QByteArrayList, calls);
    CountingBoard board;
    prepare(board, QSize(240, 520));
    BlockDropBoardTestAccess{ board }.setFallingPiece(1, 2, 3, 5, 12);
    board.show();
    QVERIFY(QTest::qWaitForWindowExposed(&board));
    for (const QByteArray &call : calls) {
        QCoreApplication::processEvents();
        board.paints = 0;
        QVERIFY(QMetaObject::invokeMethod(&board, call.constData()));
        QTRY_VERIFY2(board.paints > 0, call.constData());
    }
}

void TestBlockDropPaint::keyHelp_data()
{
    QTest::addColumn<QSize>("contents");
    QTest::addColumn<double>("filled"); // at least, of the height
    QTest::newRow("handheld, 800 x 480") << QSize(616, 342) << 0.5;
    QTest::newRow("small window: smaller") << QSize(330, 260) << 0.5;
    QTest::newRow("portrait phone: one list above the other") << QSize(350, 560) << 0.5;
    QTest::newRow("desktop: larger, the lists side by side") << QSize(1812, 944) << 0.4;
}

// The key help covers the board's contents and fits them, centred, at any size.
void TestBlockDropPaint::keyHelp()
{
    QFETCH(QSize, contents);
    QFETCH(double, filled);
    BlockDropBoard board;
    prepare(board, contents);
    board.showKeyHelp();
    auto *help = board.findChild<KeyHelpOverlay *>();
    QCOMPARE(help->geometry(), board.contentsRect());
    const QImage shown = help->grab().toImage();
    QRect ink;
    for (int y = 0; y < shown.height(); ++y) {
        for (int x = 0; x < shown.width(); ++x) {
            if (shown.pixel(x, y) != shown.pixel(0, 0))
                ink |= QRect(x, y, 1, 1);
        }
    }
    QVERIFY(help->rect().adjusted(8, 8, -8, -8).contains(ink));
    const int slack = 4; // glyph bearings and rounding
    QVERIFY2(qAbs(ink.left() - (shown.width() - 1 - ink.right())) <= slack, qPrintable(QDebug::toString(ink)));
    QVERIFY2(qAbs(ink.top() - (shown.height() - 1 - ink.bottom())) <= slack, qPrintable(QDebug::toString(ink)));
    QVERIFY(ink.height() >= filled * shown.height());
}

void TestBlockDropPaint::preview_data()
{
    QTest::addColumn<QSize>("contents");
    QTest::addColumn<QSize>("cell");
    QTest::newRow("the board's cells") << QSize(240, 520) << QSize(20, 20);
    QTest::newRow("wide cells, shrunk to the label's width") << QSize(1800, 520) << QSize(71, 9);
    QTest::newRow("tall cells, shrunk to the label's height") << QSize(240, 1560) << QSize(8, 25);
}

// The preview follows the board's cells, shrunk alike both ways to fit the label, each square one pixel
// in, on the label's background; it follows a resized board, one never drawn stays empty, a gone label is left alone.
void TestBlockDropPaint::preview()
{
    QFETCH(QSize, contents);
    QFETCH(QSize, cell);
    QWidget window;
    auto *label = new QLabel(&window);
    label->setFrameStyle(QFrame::Box | QFrame::Raised);
    label->setGeometry(0, 0, 75, 80);
    QPalette palette = label->palette();
    palette.setColor(QPalette::Window, Qt::magenta);
    label->setPalette(palette);
    auto *hold = new QLabel(&window);
    auto *board = new BlockDropBoard(&window);
    prepare(*board, QSize(190, 400));
    board->setNextPieceLabel(label);
    board->setHoldPieceLabel(hold);
    window.show();
    BlockDropBoardTestAccess t{*board};
    t.nextPiece() = BlockDropPiece::withColors(1, 5, 7);
    t.showNextPiece();
    prepare(*board, contents);

    const QImage shown = label->pixmap().toImage();
    QImage expected(cell.width(), 3 * cell.height(), shown.format());
    expected.fill(Qt::magenta);
    QPainter painter(&expected);
    for (int k = 0; k < 3; ++k)
        BlockDropRenderer().drawSquare(painter, 0, cell.height() * k, t.nextPiece().color(k), cell);
    painter.end();
    QCOMPARE(shown, expected);
    QVERIFY(hold->pixmap().isNull());

    delete label;
    t.showNextPiece();
    t.showHoldPiece();
}

// Cells of 15 pixels, and of 5 at the least, inside the frame.
void TestBlockDropPaint::sizeHints()
{
    BlockDropBoard board;
    board.setLineWidth(2);
    const QWidget &widget = board; // as a layout asks
    QCOMPARE(widget.sizeHint(), QSize(184, 394));
    QCOMPARE(widget.minimumSizeHint(), QSize(64, 134));
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

// The committed artwork, read as the game and the banner read it: registered, though in a static library.
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
