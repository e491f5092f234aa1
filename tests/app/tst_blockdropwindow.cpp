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
#include <QPushButton>
#include <QTest>
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
    QTest::newRow("preview") << QRect(3, 1, 1, 1) << "QLabel" << QSize(75, 80);
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
    QWidget *widget = at(window, cells.y(), cells.x());
    QVERIFY(widget);
    const QString text = widget->property("text").toString();
    QTEST(QString::fromLatin1(widget->metaObject()->className()) + (text.isNull() ? "" : ' ' + text), "widget");
    int row, column, rowSpan, columnSpan;
    grid->getItemPosition(grid->indexOf(widget), &row, &column, &rowSpan, &columnSpan);
    QCOMPARE(QRect(column, row, columnSpan, rowSpan), cells);
    if (fixedSize.isValid())
        QVERIFY(widget->minimumSize() == fixedSize && widget->maximumSize() == fixedSize);
    if (auto *caption = qobject_cast<QLabel *>(widget); caption && !text.isEmpty())
        QCOMPARE(caption->alignment(), Qt::AlignHCenter | Qt::AlignBottom);
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
    BlockDropWindow window;
    auto *b = at<BlockDropBoard>(window, 1, 0);
    QVERIFY(!at(window, 0, 0)->isEnabled());
    BlockDropBoardTestAccess t{*b};
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
    click(0, 2);
    QVERIFY(t.isPaused());
    click(0, 2);
    click(7, 2);
    QCOMPARE(t.numPiecesDropped(), 1);
    QCOMPARE(QApplication::focusWidget(), b);
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
    QCOMPARE(translator.translate("BlockDropBoard", "Sound off (M)"), QStringLiteral("Äänet pois (M)"));
    QCOMPARE(window.windowTitle(), QStringLiteral("Tumblox"));
}

QTEST_MAIN(TestBlockDropWindow)
#include "tst_blockdropwindow.moc"
