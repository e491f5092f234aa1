// SPDX-FileCopyrightText: 2026 The Tumblox developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "blockdropboard.h"
#include "blockdropboardtestaccess.h"
#include "blockdropwindow.h"
#include "translation.h"

#include <QApplication>
#include <QGridLayout>
#include <QLCDNumber>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTranslator>

class TestBlockDropWindow : public QObject
{
    Q_OBJECT

private slots:
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
} // namespace

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
    for (int i = 0; i < grid->count(); ++i) {
        if (grid->itemAt(i) == item)
            grid->getItemPosition(i, &row, &column, &rowSpan, &columnSpan);
    }
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
    QCoreApplication::removeTranslator(&translator);
    QCOMPARE(at<QPushButton>(window, 0, 0)->text(), QStringLiteral("&Uusi peli"));
    QCOMPARE(translator.translate("BlockDropBoard", "Loading, please wait!"), QStringLiteral("Ladataan, odota hetki!"));
    QCOMPARE(translator.translate("BlockDropWindow", "&Resume"), QStringLiteral("&Jatka"));
    QCOMPARE(translator.translate("KeyHelpOverlay", "Gamepad"), QStringLiteral("Peliohjain"));
    QCOMPARE(translator.translate("BlockDropBoard", "Sound off (M)"), QStringLiteral("Äänet pois (M)"));
    QCOMPARE(window.windowTitle(), QStringLiteral("Tumblox"));
}

QTEST_MAIN(TestBlockDropWindow)
#include "tst_blockdropwindow.moc"
