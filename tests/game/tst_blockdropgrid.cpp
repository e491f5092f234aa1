// SPDX-FileCopyrightText: 2026 The Tumblox developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "blockdropgrid.h"
#include "blockdroppiece.h"
#include "gridpicture.h"

#include <QTest>

class TestBlockDropGrid : public QObject
{
    Q_OBJECT

private slots:
    void outsideReadsAsEmptyAndIsNeverWritten();
    void collision_data();
    void collision();
    void cascade_data();
    void cascade();
};

void TestBlockDropGrid::outsideReadsAsEmptyAndIsNeverWritten()
{
    BlockDropGrid grid;
    for (const QPoint p : { QPoint(-1, 0), QPoint(12, 0), QPoint(0, -1), QPoint(0, 26), QPoint(5, 28) }) {
        grid.setCell(p.x(), p.y(), 3);
        QCOMPARE(grid.cellAt(p.x(), p.y()), 0);
    }
    QCOMPARE(grid, BlockDropGrid());
}

void TestBlockDropGrid::collision_data()
{
    QTest::addColumn<QStringList>("picture");
    QTest::addColumn<int>("x");
    QTest::addColumn<int>("y");
    QTest::addColumn<bool>("fits");

    const QStringList empty;
    QTest::newRow("left wall at the bottom") << empty << -1 << 1 << false;
    QTest::newRow("column 0") << empty << 0 << 28 << true;
    QTest::newRow("right wall above the grid") << empty << 12 << 28 << false;
    QTest::newRow("column 11") << empty << 11 << 28 << true;
    QTest::newRow("on the floor") << empty << 3 << 1 << true;
    QTest::newRow("below the floor") << empty << 3 << 0 << false;
    QTest::newRow("on a settled block") << QStringList{ "...1" } << 3 << 2 << true;
    QTest::newRow("into a settled block") << QStringList{ "...1" } << 3 << 1 << false;
    QTest::newRow("top cell of a full column") << stripedColumn(26) << 0 << 26 << false;
    QTest::newRow("wholly above a full column") << stripedColumn(26) << 0 << 27 << true;
}

void TestBlockDropGrid::collision()
{
    QFETCH(QStringList, picture);
    QFETCH(int, x);
    QFETCH(int, y);
    QFETCH(bool, fits);

    const BlockDropGrid grid = gridFromPicture(picture);
    QCOMPARE(grid.fits(BlockDropPiece::withColors(1, 2, 3), x, y), fits);
    QCOMPARE(grid.fits(BlockDropPiece(), x, y), fits);
}

void TestBlockDropGrid::cascade_data()
{
    QTest::addColumn<QStringList>("before");
    QTest::addColumn<QStringList>("after");
    QTest::addColumn<QList<int>>("passes");

    QTest::newRow("run at columns 9 to 11")
        << QStringList{ "2........111" } << QStringList{ "2" } << QList<int>{ 3 };
    QTest::newRow("run at columns 8 to 10, column 11 another colour")
        << QStringList{ "........1112" } << QStringList{ "...........2" } << QList<int>{ 3 };
    QTest::newRow("pairs and diagonals stay")
        << QStringList{ "..1", ".12", "1233" } << QStringList{ "..1", ".12", "1233" } << QList<int>{};
    QTest::newRow("two runs in a row, four and three")
        << QStringList{ "4444.222" } << QStringList{} << QList<int>{ 7 };
    QTest::newRow("shared cell: 5 cells, 6 marks")
        << QStringList{ "1...", "1...", "1113" } << QStringList{ "...3" } << QList<int>{ 6 };
    QTest::newRow("blocks above fall into the gap")
        << QStringList{ ".4.", ".5.", "222" } << QStringList{ ".4", ".5" } << QList<int>{ 3 };
    QTest::newRow("chain: three, then four formed by settling")
        << QStringList{ "..3", ".55", "11155" } << QStringList{ "..3" } << QList<int>{ 3, 4 };
    QTest::newRow("chain: settling forms a vertical run")
        << QStringList{ "2..", "2..", "111", "234" } << QStringList{ ".34" } << QList<int>{ 3, 3 };
    QTest::newRow("complete settling after a vertical run of five")
        << QStringList{ "7", "1", "1", "1", "1", "1", "2" } << QStringList{ "7", "2" } << QList<int>{ 5 };
    QTest::newRow("complete settling after a vertical run of eight")
        << (QStringList{ "3", "5" } + QStringList(8, "4")) << QStringList{ "3", "5" } << QList<int>{ 8 };
    QTest::newRow("vertical scan stops at the first empty cell")
        << QStringList{ "1", "1", "1", ".", "2" } << QStringList{ "1", "1", "1", ".", "2" } << QList<int>{};

    const QStringList tall = QStringList{ "1", "1", "1" } + stripedColumn(23);
    QTest::newRow("vertical run reaching row 25") << tall << stripedColumn(23) << QList<int>{ 3 };
    // Every cell lies in a horizontal and a vertical run.
    QTest::newRow("a full grid marks every cell twice") << QStringList(26, "444444444444") << QStringList{} << QList<int>{ 624 };
}

void TestBlockDropGrid::cascade()
{
    QFETCH(QStringList, before);
    QFETCH(QStringList, after);
    QFETCH(QList<int>, passes);

    BlockDropGrid grid = gridFromPicture(before);
    QList<int> marked;
    while (const int marks = grid.clearPass())
        marked << marks;
    QCOMPARE(marked, passes);
    QCOMPARE(pictureOf(grid), pictureOf(gridFromPicture(after)));
}

QTEST_GUILESS_MAIN(TestBlockDropGrid)
#include "tst_blockdropgrid.moc"
