// SPDX-FileCopyrightText: 2026 The Tumblox developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "blockdropboard.h"
#include "blockdropboardtestaccess.h"
#include "blockdropwindow.h"

#include <QApplication>
#include <QGridLayout>
#include <QLCDNumber>
#include <QLabel>
#include <QPushButton>
#include <QTest>

class TestBlockDropWindow : public QObject
{
    Q_OBJECT

private slots:
    void newGameIsDisabledUntilReady();
    void counters_data();
    void counters();
    void buttonsPlayAndNeverTakeTheFocus();
};

namespace {
// Widgets are found where the layout puts them.
template<typename T>
T *at(BlockDropWindow &window, int row, int column)
{
    auto *grid = qobject_cast<QGridLayout *>(window.QWidget::layout());
    return qobject_cast<T *>(grid->itemAtPosition(row, column)->widget());
}

QPushButton *button(BlockDropWindow &window, const QString &text)
{
    for (QPushButton *b : window.findChildren<QPushButton *>()) {
        if (b->text() == text)
            return b;
    }
    return nullptr;
}

BlockDropBoard *board(BlockDropWindow &window)
{
    return at<BlockDropBoard>(window, 1, 0);
}
}

void TestBlockDropWindow::newGameIsDisabledUntilReady()
{
    BlockDropWindow window;
    QCOMPARE(window.windowTitle(), QStringLiteral("Tumblox"));
    QPushButton *newGame = button(window, QStringLiteral("&New Game"));
    QVERIFY(!newGame->isEnabled());

    BlockDropBoardTestAccess{ *board(window) }.skipAds();
    QVERIFY(newGame->isEnabled());
    newGame->click();
    QCOMPARE(at<QLCDNumber>(window, 5, 3)->intValue(), 1);
    QVERIFY(newGame->isEnabled());
}

void TestBlockDropWindow::counters_data()
{
    QTest::addColumn<QStringList>("emitted");
    QTest::addColumn<int>("upper");
    QTest::addColumn<int>("lower");
    QTest::addColumn<QString>("lowerCaption");

    QTest::newRow("no mode yet") << QStringList{ "score 120", "lines 8", "level 3" } << 0 << 3 << "LEVEL";
    QTest::newRow("score") << QStringList{ "mode score", "score 120", "lines 8", "level 3" } << 120 << 3 << "LEVEL";
    QTest::newRow("lines: removed blocks")
        << QStringList{ "mode lines", "score 120", "lines 8", "level 3" } << 8 << 3 << "LEVEL";
    QTest::newRow("timer") << QStringList{ "mode timer", "level 25", "score 120", "lines 8" } << 120 << 25
                           << "TIME LEFT";
    QTest::newRow("a new mode resets only the upper counter")
        << QStringList{ "mode timer", "level 17", "score 40", "mode score" } << 0 << 17 << "LEVEL";
    QTest::newRow("unknown mode") << QStringList{ "mode race", "score 120" } << 0 << 0 << "LEVEL";
}

void TestBlockDropWindow::counters()
{
    QFETCH(QStringList, emitted);
    QFETCH(int, upper);
    QFETCH(int, lower);
    QFETCH(QString, lowerCaption);

    BlockDropWindow window;
    BlockDropBoard *b = board(window);
    for (const QString &signal : emitted) {
        const QString name = signal.section(' ', 0, 0);
        const QString value = signal.section(' ', 1);
        if (name == "mode")
            emit b->modeChanged(value);
        else if (name == "score")
            emit b->scoreChanged(value.toInt());
        else if (name == "lines")
            emit b->linesRemovedChanged(value.toInt());
        else
            emit b->levelChanged(value.toInt());
    }

    QCOMPARE(at<QLCDNumber>(window, 3, 3)->intValue(), upper);
    QCOMPARE(at<QLCDNumber>(window, 5, 3)->intValue(), lower);
    QCOMPARE(at<QLabel>(window, 2, 3)->text(), QStringLiteral("SCORE"));
    QCOMPARE(at<QLabel>(window, 4, 3)->text(), lowerCaption);
}

void TestBlockDropWindow::buttonsPlayAndNeverTakeTheFocus()
{
    BlockDropWindow window;
    BlockDropBoard *b = board(window);
    BlockDropBoardTestAccess{ *b }.skipAds();
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    b->setFocus();
    QVERIFY(button(window, QStringLiteral("&New Game"))->isEnabled());
    for (QPushButton *each : window.findChildren<QPushButton *>())
        QCOMPARE(each->focusPolicy(), Qt::NoFocus);

    const auto click = [&](const char *text) {
        QTest::mouseClick(button(window, QString::fromLatin1(text)), Qt::LeftButton);
    };
    BlockDropBoardTestAccess t{ *b };
    click("&New Game");
    QVERIFY(t.isStarted());
    click("&Left");
    QCOMPARE(t.curX(), 5);
    click("&Right");
    QCOMPARE(t.curX(), 6);
    click("&Down");
    QCOMPARE(t.curY(), 27);
    const BlockDropPiece piece = t.curPiece();
    click("&Rotate");
    QVERIFY(t.curPiece() == piece.rotated());
    click("&Pause");
    QVERIFY(t.isPaused());
    click("&Pause");
    click("&Drop");
    QCOMPARE(t.numPiecesDropped(), 1);

    QCOMPARE(QApplication::focusWidget(), b);
}

QTEST_MAIN(TestBlockDropWindow)
#include "tst_blockdropwindow.moc"
