// SPDX-License-Identifier: GPL-3.0-or-later
#include "blockdroppiece.h"
#include "qrand.h"

#include <QTest>

#include <stdlib.h>
#include <thread>

Q_DECLARE_METATYPE(BlockDropPiece)

class TestBlockDropPiece : public QObject
{
    Q_OBJECT

private slots:
    void emptyPiece();
    void randomPiecesFollowTheUnseededSequence();
    void rotation_data();
    void rotation();
};

void TestBlockDropPiece::emptyPiece()
{
    BlockDropPiece piece;
    QVERIFY(!piece.isReal());
    QCOMPARE(piece.shape(), 0);
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(piece.x(i), 0);
        QCOMPARE(piece.y(i), i - 1);
        QCOMPARE(piece.color(i), 0);
    }
    QCOMPARE(piece.rotated(), piece);

    piece.setRandomShape();
    QVERIFY(piece.isReal());
    piece.setShape(0);
    QCOMPARE(piece, BlockDropPiece());
}

void TestBlockDropPiece::randomPiecesFollowTheUnseededSequence()
{
    // A fresh thread starts from seed 1; rand_r gives the expected values.
    unsigned int seed = 1;
    QList<int> expected;
    for (int i = 0; i < 400; ++i)
        expected << rand_r(&seed);

    QList<int> raw;
    QList<BlockDropPiece> pieces;
    std::thread([&] {
        for (int i = 0; i < 20; ++i)
            raw << qrand();
        for (int i = 0; i < 95; ++i) {
            pieces << BlockDropPiece();
            pieces.last().setRandomShape();
        }
    }).join();
    QCOMPARE(raw, expected.mid(0, 20));

    // Shape first, then the colours top to bottom, each value % 7 + 1.
    for (int n = 0; n < pieces.size(); ++n) {
        const BlockDropPiece &piece = pieces.at(n);
        const int *draw = expected.constData() + 20 + 4 * n;
        QCOMPARE(piece.shape(), draw[0] % 7 + 1);
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(piece.color(i), draw[i + 1] % 7 + 1);
            QCOMPARE(piece.y(i), i - 1);
        }
        QVERIFY(piece.isReal());
    }
    QCOMPARE(pieces.first().minY(), -1);
    QCOMPARE(pieces.first().maxY(), 1);
    QCOMPARE(pieces.first().minX(), pieces.first().maxX());
}

void TestBlockDropPiece::rotation_data()
{
    QTest::addColumn<BlockDropPiece>("piece");
    QTest::addColumn<BlockDropPiece>("rotated");

    QTest::newRow("bottom colour goes to the top")
        << BlockDropPiece::withColors(1, 2, 3) << BlockDropPiece::withColors(3, 1, 2);
    QTest::newRow("repeated colours")
        << BlockDropPiece::withColors(5, 5, 7) << BlockDropPiece::withColors(7, 5, 5);
    QTest::newRow("one colour is unchanged")
        << BlockDropPiece::withColors(4, 4, 4) << BlockDropPiece::withColors(4, 4, 4);
}

void TestBlockDropPiece::rotation()
{
    QFETCH(BlockDropPiece, piece);
    QFETCH(BlockDropPiece, rotated);

    QCOMPARE(piece.rotated(), rotated);
    QCOMPARE(piece.rotated().rotated().rotated(), piece);
}

QTEST_GUILESS_MAIN(TestBlockDropPiece)
#include "tst_blockdroppiece.moc"
