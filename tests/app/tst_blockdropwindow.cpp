// SPDX-FileCopyrightText: 2026 The Tumblox developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The window: where it opens, its layout, counters, buttons and language, and its
// geometry at handheld, laptop and desktop sizes and at device pixel ratios 1, 1.5 and 2.
#include "blockdropboardtestaccess.h"
#include "blockdropwindow.h"
#include "filebytes.h"
#include "translation.h"
#include "windowplacement.h"

#include <QApplication>
#include <QGridLayout>
#include <QLCDNumber>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTranslator>

class TestBlockDropWindow : public QObject
{
    Q_OBJECT

public:
    static void initMain();

private slots:
    void choose_data();
    void choose();
    void nothingCutOff_data();
    void nothingCutOff();
    void layout_data();
    void layout();
    void counters_data();
    void counters();
    void buttonsPlayAndNeverTakeTheFocus();
    void modeMenu_data();
    void modeMenu();
    void language();
};

namespace {
template<typename T = QWidget>
T *at(BlockDropWindow &window, int row, int column)
{
    QLayoutItem *item = qobject_cast<QGridLayout *>(window.QWidget::layout())->itemAtPosition(row, column);
    return qobject_cast<T *>(item ? item->widget() : nullptr);
}

QScreen *screenOfRatio(qreal ratio)
{
    for (QScreen *screen : QGuiApplication::screens()) {
        if (screen->devicePixelRatio() == ratio)
            return screen;
    }
    return nullptr;
}

// The counter's digits at the screen's ratio: the box of the device pixels
// that 888888 changes against a blank counter, and how many upright segments
// a line across their upper half meets, two for each whole 8.
std::pair<QRect, int> digits(QLCDNumber *counter)
{
    counter->display(QString());
    const QImage blank = counter->grab().toImage();
    counter->display(888888);
    const QImage shown = counter->grab().toImage();
    QRect ink;
    for (int y = 0; y < shown.height(); ++y) {
        for (int x = 0; x < shown.width(); ++x) {
            if (shown.pixel(x, y) != blank.pixel(x, y))
                ink |= QRect(x, y, 1, 1);
        }
    }
    int strokes = 0;
    const int y = ink.top() + ink.height() / 4;
    for (int x = ink.left(); x <= ink.right(); ++x)
        strokes += shown.pixel(x, y) != blank.pixel(x, y) && (x == ink.left() || shown.pixel(x - 1, y) == blank.pixel(x - 1, y));
    return { ink, strokes };
}
} // namespace

void TestBlockDropWindow::initMain()
{
    // Three offscreen screens side by side, read when the application starts.
    static QTemporaryDir dir;
    const QString config = dir.filePath(QStringLiteral("screens.json"));
    if (!writeFile(config, R"({ "screens": [
        { "name": "ratio 1", "x": 0, "y": 0, "width": 3840, "height": 2160, "dpr": 1 },
        { "name": "ratio 1.5", "x": 4000, "y": 0, "width": 3840, "height": 2160, "dpr": 1.5 },
        { "name": "ratio 2", "x": 8000, "y": 0, "width": 3840, "height": 2160, "dpr": 2 } ] })"))
        qFatal("cannot write the screen configuration");
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + QFile::encodeName(config));
}

void TestBlockDropWindow::choose_data()
{
    QTest::addColumn<QRect>("available");
    QTest::addColumn<QList<QRect>>("screens");
    QTest::addColumn<QVariant>("fullScreen");
    QTest::addColumn<QVariant>("geometry");
    QTest::addColumn<bool>("expectFullScreen");
    QTest::addColumn<QRect>("expectGeometry");

    const QRect hd(0, 0, 1920, 1080);
    const QVariant none;
    const QVariant no(false);
    // The window at 85 % of the height, centred; the test's square-cell width is 58 % of it.
    QTest::newRow("handheld") << QRect(0, 0, 800, 480) << QList<QRect>{ QRect(0, 0, 800, 480) } << none << none << true << QRect(282, 36, 236, 408);
    QTest::newRow("portrait phone") << QRect(0, 0, 480, 800) << QList<QRect>{ QRect(0, 0, 480, 800) } << none << none << true << QRect(43, 60, 394, 680);
    QTest::newRow("1280 x 720") << QRect(0, 0, 1280, 720) << QList<QRect>{ QRect(0, 0, 1280, 720) } << none << none << false << QRect(463, 54, 354, 612);
    QTest::newRow("a little narrower than a desktop") << QRect(0, 0, 1023, 768) << QList<QRect>{ QRect(0, 0, 1023, 768) } << none << none << true << QRect(322, 57, 378, 653);
    QTest::newRow("a little lower than a desktop") << QRect(0, 0, 1366, 699) << QList<QRect>{ QRect(0, 0, 1366, 699) } << none << none << true << QRect(511, 52, 344, 594);
    QTest::newRow("smallest desktop") << QRect(0, 0, 1024, 700) << QList<QRect>{ QRect(0, 0, 1024, 700) } << none << none << false << QRect(339, 52, 345, 595);
    QTest::newRow("1920 x 1080 beside a panel") << QRect(0, 40, 1920, 1040) << QList<QRect>{ QRect(0, 40, 1920, 1040) } << none << none << false << QRect(704, 118, 512, 884);
    QTest::newRow("4K at scale 2") << hd << QList<QRect>{ hd } << none << none << false << QRect(694, 81, 532, 918);
    QTest::newRow("saved window") << hd << QList<QRect>{ hd } << no << QVariant(QRect(100, 50, 600, 900)) << false << QRect(100, 50, 600, 900);
    QTest::newRow("saved full screen on a desktop, read as text") << hd << QList<QRect>{ hd } << QVariant(QStringLiteral("true")) << QVariant(QRect(100, 50, 600, 900)) << true << QRect(100, 50, 600, 900);
    QTest::newRow("saved window on a second screen") << hd << QList<QRect>{ hd, QRect(1920, 0, 1280, 1024) } << no << QVariant(QRect(2000, 100, 600, 900)) << false << QRect(2000, 100, 600, 900);
    QTest::newRow("saved window partly off its screen, moved on") << hd << QList<QRect>{ hd } << no << QVariant(QRect(1700, -20, 600, 900)) << false << QRect(1320, 0, 600, 900);
    QTest::newRow("saved window off every screen") << hd << QList<QRect>{ hd } << no << QVariant(QRect(1920, 100, 600, 900)) << false << QRect(694, 81, 532, 918);
    QTest::newRow("saved window larger than the screen now") << QRect(0, 0, 800, 480) << QList<QRect>{ QRect(0, 0, 800, 480) } << no << QVariant(QRect(0, 0, 600, 900)) << true << QRect(282, 36, 236, 408);
    QTest::newRow("garbage mode") << QRect(0, 0, 800, 480) << QList<QRect>{ QRect(0, 0, 800, 480) } << QVariant(QStringLiteral("yes")) << QVariant(QRect(0, 0, 600, 400)) << true << QRect(282, 36, 236, 408);
    QTest::newRow("mode without a geometry") << hd << QList<QRect>{ hd } << QVariant(true) << none << false << QRect(694, 81, 532, 918);
}

void TestBlockDropWindow::choose()
{
    QFETCH(QRect, available);
    QFETCH(QList<QRect>, screens);
    QFETCH(QVariant, fullScreen);
    QFETCH(QVariant, geometry);
    const WindowPlacement placement = WindowPlacement::choose(available, screens, fullScreen, geometry,
                                                              [](int height) { return QSize(height * 58 / 100, height); });
    QTEST(placement.fullScreen, "expectFullScreen");
    QTEST(placement.geometry, "expectGeometry");
}

void TestBlockDropWindow::nothingCutOff_data()
{
    QTest::addColumn<QSize>("size");
    QTest::addColumn<qreal>("ratio");
    QTest::addColumn<qreal>("firstRatio");
    QTest::addColumn<QSize>("available"); // where the size is empty: a desktop first start on a screen this large
    QTest::addColumn<int>("digitHeight"); // the digits' least height in logical pixels: they grow with the window
    QTest::newRow("handheld") << QSize(800, 480) << 1.0 << 1.0 << QSize() << 20;
    QTest::newRow("1280 x 720") << QSize(1280, 720) << 1.0 << 1.0 << QSize() << 30;
    QTest::newRow("1920 x 1080") << QSize(1920, 1080) << 1.0 << 1.0 << QSize() << 45;
    QTest::newRow("wide and low") << QSize(1920, 480) << 1.0 << 1.0 << QSize() << 20;
    QTest::newRow("1280 x 720 at 1.5") << QSize(853, 480) << 1.5 << 1.5 << QSize() << 20;
    QTest::newRow("1920 x 1080 at 2, moved from 1") << QSize(960, 540) << 2.0 << 1.0 << QSize() << 22;
    QTest::newRow("portrait phone at 1.5, moved from 2") << QSize(480, 853) << 1.5 << 2.0 << QSize() << 33;
    QTest::newRow("desktop first start, smallest") << QSize() << 1.0 << 1.0 << QSize(1024, 700) << 25;
    QTest::newRow("desktop first start, 1920 x 1080 at 1.5") << QSize() << 1.5 << 1.5 << QSize(1280, 720) << 24;
    QTest::newRow("desktop first start, 4K at 2") << QSize() << 2.0 << 2.0 << QSize(1920, 1080) << 37;
}

void TestBlockDropWindow::nothingCutOff()
{
    QFETCH(QSize, size);
    QFETCH(qreal, ratio);
    QFETCH(qreal, firstRatio);
    QFETCH(QSize, available);
    QFETCH(int, digitHeight);
    BlockDropWindow window;
    auto *board = window.findChild<BlockDropBoard *>();
    QRect geometry(QPoint(), size);
    if (size.isEmpty()) {
        const QRect screen(QPoint(), available);
        geometry = WindowPlacement::choose(screen, { screen }, {}, {}, [&](int height) {
                       return window.sizeForSquareCells(height);
                   }).geometry;
    }
    window.setGeometry(geometry.translated(screenOfRatio(firstRatio)->geometry().topLeft()));
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    BlockDropBoardTestAccess t{ *board };
    t.skipAds();
    board->start();
    if (ratio != firstRatio)
        window.move(screenOfRatio(ratio)->geometry().topLeft());
    QTRY_COMPARE(window.devicePixelRatioF(), ratio);
    QTRY_COMPARE(window.size(), geometry.size());

    // The whole piece inside the preview's frame, drawn at the screen's ratio.
    auto *previews = qobject_cast<QGridLayout *>(window.QWidget::layout())->itemAtPosition(1, 3)->layout();
    const auto *preview = qobject_cast<QLabel *>(previews->itemAt(0)->widget());
    QVERIFY(!preview->pixmap().isNull());
    const QSizeF piece = preview->pixmap().deviceIndependentSize();
    QVERIFY(piece.width() <= preview->contentsRect().width() && piece.height() <= preview->contentsRect().height());
    QCOMPARE(preview->pixmap().devicePixelRatio(), ratio);

    for (QLCDNumber *counter : window.findChildren<QLCDNumber *>()) {
        // Six whole digits, none running into the counter's edge.
        const auto [ink, strokes] = digits(counter);
        QVERIFY(QRect(QPoint(), counter->size() * ratio).adjusted(1, 1, -1, -1).contains(ink));
        QCOMPARE(strokes, 12);
        QVERIFY(ink.height() / ratio >= digitHeight);
        // Nothing else lies over it.
        for (QWidget *other : window.findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
            QVERIFY(other == counter || !other->geometry().intersects(counter->geometry()));
        QVERIFY(window.rect().contains(counter->geometry()));
    }

    if (size.isEmpty()) {
        const QRect contents = board->contentsRect();
        QVERIFY(qAbs(contents.width() / 12 - contents.height() / 26) <= 1);
    }
}

void TestBlockDropWindow::layout_data()
{
    QTest::addColumn<QRect>("cells");
    QTest::addColumn<QString>("widget");
    QTest::addColumn<QSize>("fixedSize");
    QTest::newRow("New Game") << QRect(0, 0, 2, 1) << "QPushButton &New Game" << QSize();
    QTest::newRow("Pause") << QRect(2, 0, 1, 1) << "QPushButton &Pause" << QSize();
    QTest::newRow("Quit") << QRect(3, 0, 1, 1) << "QPushButton &Quit" << QSize();
    QTest::newRow("board") << QRect(0, 1, 3, 6) << "BlockDropBoard" << QSize();
    QTest::newRow("next and hold previews") << QRect(3, 1, 1, 1) << "QLabel, QLabel" << QSize(75, 80);
    QTest::newRow("score caption") << QRect(3, 2, 1, 1) << "QLabel SCORE" << QSize();
    QTest::newRow("score") << QRect(3, 3, 1, 1) << "QLCDNumber" << QSize(75, 50);
    QTest::newRow("level caption") << QRect(3, 4, 1, 1) << "QLabel LEVEL" << QSize();
    QTest::newRow("level") << QRect(3, 5, 1, 1) << "QLCDNumber" << QSize(75, 50);
    QTest::newRow("Rotate") << QRect(3, 6, 1, 1) << "QPushButton &Rotate" << QSize();
    QTest::newRow("Left") << QRect(0, 7, 1, 1) << "QPushButton &Left" << QSize();
    QTest::newRow("Down") << QRect(1, 7, 1, 1) << "QPushButton &Down" << QSize();
    QTest::newRow("Drop") << QRect(2, 7, 1, 1) << "QPushButton &Drop" << QSize();
    QTest::newRow("Right") << QRect(3, 7, 1, 1) << "QPushButton &Right" << QSize();
}

void TestBlockDropWindow::layout()
{
    QFETCH(QRect, cells);
    QFETCH(QSize, fixedSize);
    BlockDropWindow window;
    auto *grid = qobject_cast<QGridLayout *>(window.QWidget::layout());
    QLayoutItem *item = grid->itemAtPosition(cells.y(), cells.x());
    QVERIFY(item);
    // A cell holds a widget, or a row of them.
    QList<QWidget *> widgets{ item->widget() };
    if (QLayout *row = item->layout()) {
        widgets.clear();
        for (int i = 0; i < row->count(); ++i)
            widgets << row->itemAt(i)->widget();
    }
    QStringList names;
    for (QWidget *widget : std::as_const(widgets)) {
        const QString text = widget->property("text").toString();
        names << QString::fromLatin1(widget->metaObject()->className()) + (text.isNull() ? "" : ' ' + text);
        if (fixedSize.isValid())
            QVERIFY(widget->minimumSize() == fixedSize && widget->maximumSize() == fixedSize);
        if (auto *caption = qobject_cast<QLabel *>(widget); caption && !text.isEmpty())
            QCOMPARE(caption->alignment(), Qt::AlignHCenter | Qt::AlignBottom);
    }
    QTEST(names.join(", "), "widget");
    int row = -1, column = -1, rowSpan = 0, columnSpan = 0;
    grid->getItemPosition(grid->indexOf(item), &row, &column, &rowSpan, &columnSpan);
    QCOMPARE(QRect(column, row, columnSpan, rowSpan), cells);
}

void TestBlockDropWindow::counters_data()
{
    QTest::addColumn<QStringList>("emitted");
    QTest::addColumn<int>("upper");
    QTest::addColumn<int>("lower");
    QTest::addColumn<QString>("lowerCaption");
    QTest::newRow("no mode yet") << QStringList{"score 120", "linesRemoved 8", "level 3"} << 0 << 3 << "LEVEL";
    QTest::newRow("score") << QStringList{"mode score", "score 120", "linesRemoved 8", "level 3"} << 120 << 3 << "LEVEL";
    QTest::newRow("lines: removed blocks") << QStringList{"mode lines", "score 120", "linesRemoved 8", "level 3"} << 8 << 3 << "LEVEL";
    QTest::newRow("timer") << QStringList{"mode timer", "level 25", "score 120", "linesRemoved 8"} << 120 << 25 << "TIME LEFT";
    QTest::newRow("a new mode resets only the upper counter") << QStringList{"mode timer", "level 17", "score 40", "mode score"} << 0 << 17 << "LEVEL";
    QTest::newRow("a timer game resets the upper counter") << QStringList{"mode score", "score 40", "mode timer"} << 0 << 0 << "TIME LEFT";
    QTest::newRow("unknown mode") << QStringList{"mode race", "score 120"} << 0 << 0 << "LEVEL";
}

void TestBlockDropWindow::counters()
{
    QFETCH(QStringList, emitted);
    BlockDropWindow window;
    auto *b = at<BlockDropBoard>(window, 1, 0);
    for (const QString &signal : emitted) {
        const QString value = signal.section(' ', 1);
        if (signal.startsWith("mode"))
            emit b->modeChanged(value);
        else
            QVERIFY(QMetaObject::invokeMethod(b, qPrintable(signal.section(' ', 0, 0) + "Changed"), Q_ARG(int, value.toInt())));
    }
    QTEST(at<QLCDNumber>(window, 3, 3)->intValue(), "upper");
    QTEST(at<QLCDNumber>(window, 5, 3)->intValue(), "lower");
    QTEST(at<QLabel>(window, 4, 3)->text(), "lowerCaption");
}

// New Game waits for the first ad; the buttons play the board and leave it the focus.
void TestBlockDropWindow::buttonsPlayAndNeverTakeTheFocus()
{
    QTemporaryDir saves; // outlives the board, which writes into it
    BlockDropWindow window;
    auto *b = at<BlockDropBoard>(window, 1, 0);
    QVERIFY(!at(window, 0, 0)->isEnabled());
    BlockDropBoardTestAccess t{*b};
    t.highScoreDirectory() = saves.path();
    t.skipAds();
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    b->setFocus();
    const auto click = [&](int row, int column) { QTest::mouseClick(at<QPushButton>(window, row, column), Qt::LeftButton); };
    click(0, 0);
    QVERIFY(t.isStarted());
    click(7, 0);
    QCOMPARE(t.curX(), 5);
    click(7, 3);
    QCOMPARE(t.curX(), 6);
    click(7, 1);
    QCOMPARE(t.curY(), 27);
    const BlockDropPiece piece = t.curPiece();
    click(6, 3);
    QVERIFY(t.curPiece() == piece.rotated());
    auto *pause = at<QPushButton>(window, 0, 2);
    click(0, 2);
    QVERIFY(t.isPaused());
    QCOMPARE(pause->text(), "&Resume");
    click(0, 2);
    QCOMPARE(pause->text(), "&Pause");
    // The held bar shows beside the next one from the first hold to the end of the game.
    auto *grid = qobject_cast<QGridLayout *>(window.QWidget::layout());
    QWidget *holdPreview = grid->itemAtPosition(1, 3)->layout()->itemAt(1)->widget();
    QVERIFY(holdPreview->isHidden());
    QTest::keyClick(b, Qt::Key_H);
    QVERIFY(holdPreview->isVisible());
    // A click closes the key help and does nothing else.
    QTest::keyClick(b, Qt::Key_F1);
    click(0, 2);
    QVERIFY(!t.isPaused());
    click(7, 2);
    QCOMPARE(t.numPiecesDropped(), 1);
    QCOMPARE(QApplication::focusWidget(), b);
    click(0, 0);
    QVERIFY(holdPreview->isHidden());
}

void TestBlockDropWindow::modeMenu_data()
{
    QTest::addColumn<QString>("gesture"); // on New Game
    QTest::addColumn<bool>("menu");
    QTest::addColumn<int>("choice"); // in the menu
    QTest::addColumn<QString>("mode"); // of the game started

    QTest::newRow("click") << "click" << false << -1 << "score";
    QTest::newRow("right-click, lines") << "right-click" << true << 1 << "lines";
    QTest::newRow("held press, timer") << "hold" << true << 2 << "timer";
    QTest::newRow("held press, let go") << "hold" << true << -1 << "";
    QTest::newRow("press that moves: a click") << "drag" << false << -1 << "score";
    QTest::newRow("right-click before the first ad") << "early right-click" << false << -1 << "";
}

// A right-click or a held press offers the three modes; a click starts score mode.
void TestBlockDropWindow::modeMenu()
{
    QFETCH(QString, gesture);
    QFETCH(int, choice);
    BlockDropWindow window;
    auto *b = at<BlockDropBoard>(window, 1, 0);
    BlockDropBoardTestAccess t{*b};
    if (!gesture.startsWith("early"))
        t.skipAds();
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QSignalSpy modes(b, &BlockDropBoard::modeChanged);
    auto *newGame = at<QPushButton>(window, 0, 0);
    auto *menu = newGame->findChild<QMenu *>("gameModeMenu");
    auto *holdTimer = newGame->findChild<QTimer *>("holdTimer");
    const QPoint middle = newGame->rect().center();

    if (gesture == "click") {
        QTest::mouseClick(newGame, Qt::LeftButton);
    } else if (gesture.endsWith("right-click")) {
        QContextMenuEvent event(QContextMenuEvent::Mouse, middle, newGame->mapToGlobal(middle));
        QApplication::sendEvent(newGame, &event);
    } else {
        QTest::mousePress(newGame, Qt::LeftButton, {}, middle);
        if (gesture == "drag")
            QTest::mouseMove(newGame, middle + QPoint(QApplication::startDragDistance() + 1, 0));
        if (holdTimer->isActive())
            QVERIFY(QMetaObject::invokeMethod(holdTimer, "timeout"));
        // The press became the menu's, so letting go clicks nothing.
        QCOMPARE(newGame->isDown(), gesture == "drag");
        QTest::mouseRelease(newGame, Qt::LeftButton, {}, middle);
    }
    QTEST(menu->isVisible(), "menu");
    if (choice >= 0)
        menu->actions().at(choice)->trigger();
    menu->hide();
    QTEST(modes.isEmpty() ? QString() : modes.last().first().toString(), "mode");
}

// The player's language where a translation fits, English where none does;
// the board's texts are looked up in its own context.
void TestBlockDropWindow::language()
{
    QTranslator translator;
    QVERIFY(!loadTranslation(translator, QLocale("sv_SE")));
    QVERIFY(loadTranslation(translator, QLocale("fi_FI")));
    QCoreApplication::installTranslator(&translator);
    BlockDropWindow window;
    const QString loading = BlockDropBoardTestAccess{ *at<BlockDropBoard>(window, 1, 0) }.screenText();
    QCoreApplication::removeTranslator(&translator);
    QCOMPARE(at<QPushButton>(window, 0, 0)->text(), QStringLiteral("&Uusi peli"));
    QCOMPARE(loading, QStringLiteral("Ladataan, odota hetki!"));
    QCOMPARE(translator.translate("KeyHelpOverlay", "Gamepad"), QStringLiteral("Peliohjain"));
    QCOMPARE(window.windowTitle(), QStringLiteral("Tumblox"));
}

QTEST_MAIN(TestBlockDropWindow)
#include "tst_blockdropwindow.moc"
