// SPDX-FileCopyrightText: 2026 The Tumblox developers
// SPDX-License-Identifier: GPL-3.0-or-later
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

    QTest::newRow("left wall at the bottom") << QStringList() << -1 << 1 << false;
    QTest::newRow("column 0") << QStringList() << 0 << 28 << true;
    QTest::newRow("right wall above the grid") << QStringList() << 12 << 28 << false;
    QTest::newRow("column 11") << QStringList() << 11 << 28 << true;
    QTest::newRow("on the floor") << QStringList() << 3 << 1 << true;
    QTest::newRow("below the floor") << QStringList() << 3 << 0 << false;
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

    QCOMPARE(gridFromPicture(picture).fits(BlockDropPiece::withColors(1, 2, 3), x, y), fits);
}

void TestBlockDropGrid::cascade_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("after");
    QTest::addColumn<QList<int>>("passes");

    QTest::newRow("run at the right wall") << "2........111" << "2" << QList<int>{ 3 };
    QTest::newRow("run ended by another colour") << "........1112" << "...........2" << QList<int>{ 3 };
    QTest::newRow("pairs and diagonals stay") << "..1/.12/1233" << "..1/.12/1233" << QList<int>{};
    QTest::newRow("two runs in a row, four and three") << "4444.222" << "" << QList<int>{ 7 };
    QTest::newRow("shared cell: 5 cells, 6 marks") << "1.../1.../1113" << "...3" << QList<int>{ 6 };
    QTest::newRow("blocks above fall into the gap") << ".4./.5./222" << ".4/.5" << QList<int>{ 3 };
    QTest::newRow("chain: four formed by settling") << "..3/.55/11155" << "..3" << QList<int>{ 3, 4 };
    QTest::newRow("settling after a vertical run of five") << "7/1/1/1/1/1/2" << "7/2" << QList<int>{ 5 };
    QTest::newRow("column scan stops at an empty cell") << "1/1/1/./2" << "1/1/1/./2" << QList<int>{};
    QTest::newRow("run up to row 25") << "1/1/1/" + stripedColumn(23).join('/') << stripedColumn(23).join('/') << QList<int>{ 3 };
    QTest::newRow("full grid: every cell twice") << QStringList(26, "444444444444").join('/') << "" << QList<int>{ 624 };
}

void TestBlockDropGrid::cascade()
{
    QFETCH(QString, before);
    QFETCH(QString, after);
    QFETCH(QList<int>, passes);

    BlockDropGrid grid = gridFromPicture(before.split('/'));
    QList<int> marked;
    while (const int marks = grid.clearPass())
        marked << marks;
    QCOMPARE(marked, passes);
    QCOMPARE(pictureOf(grid), pictureOf(gridFromPicture(after.split('/'))));
}

QTEST_GUILESS_MAIN(TestBlockDropGrid)
#include "tst_blockdropgrid.moc"
