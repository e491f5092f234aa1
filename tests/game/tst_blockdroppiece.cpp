// SPDX-FileCopyrightText: 2026 The Tumblox developers
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
    void randomPiecesFollowTheUnseededSequence();
    void rotation_data();
    void rotation();
};

void TestBlockDropPiece::randomPiecesFollowTheUnseededSequence()
{
    // A fresh thread starts from seed 1; rand_r gives the expected values.
    unsigned int seed = 1;
    QList<int> expected;
    for (int i = 0; i < 400; ++i)
        expected << rand_r(&seed);

    QList<int> drawn;
    std::thread([&drawn] {
        for (int i = 0; i < 20; ++i)
            drawn << qrand();
        // Shape first, then the colours top to bottom.
        for (int n = 0; n < 95; ++n) {
            BlockDropPiece piece;
            piece.setRandomShape();
            drawn << piece.shape() << piece.color(0) << piece.color(1) << piece.color(2);
        }
    }).join();

    QCOMPARE(drawn.mid(0, 20), expected.mid(0, 20));
    for (int i = 20; i < drawn.size(); ++i)
        QCOMPARE(drawn.at(i), expected.at(i) % 7 + 1);
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
    QCOMPARE(piece.rotated() != piece, rotated != piece);
    // Pieces that differ in one block only are different pieces.
    QVERIFY(BlockDropPiece::withColors(rotated.color(0) % 7 + 1, rotated.color(1), rotated.color(2)) != rotated);
    QVERIFY(BlockDropPiece::withColors(rotated.color(0), rotated.color(1), rotated.color(2) % 7 + 1) != rotated);
}

QTEST_GUILESS_MAIN(TestBlockDropPiece)
#include "tst_blockdroppiece.moc"
