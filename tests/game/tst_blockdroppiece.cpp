// SPDX-FileCopyrightText: 2026 The Tumblox developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "blockdroppiece.h"

#include <QTest>

#include <stdlib.h>
#include <thread>

class TestBlockDropPiece : public QObject
{
    Q_OBJECT

private slots:
    void randomPiecesFollowTheUnseededSequence();
    void rotationAndEquality();
};

void TestBlockDropPiece::randomPiecesFollowTheUnseededSequence()
{
    // A fresh thread starts from seed 1: the shape is drawn first, then the colours top to bottom.
    QList<int> drawn;
    std::thread([&drawn] {
        for (int n = 0; n < 100; ++n) {
            BlockDropPiece piece;
            piece.setRandomShape();
            drawn << piece.shape() << piece.color(0) << piece.color(1) << piece.color(2);
        }
    }).join();
    unsigned int seed = 1;
    for (const int value : std::as_const(drawn))
        QCOMPARE(value, rand_r(&seed) % 7 + 1);
}

void TestBlockDropPiece::rotationAndEquality()
{
    const BlockDropPiece piece = BlockDropPiece::withColors(1, 2, 3);
    QCOMPARE(piece.rotated(), BlockDropPiece::withColors(3, 1, 2));
    // Pieces that differ in one block only are different pieces.
    QVERIFY(BlockDropPiece::withColors(4, 2, 3) != piece);
    QVERIFY(BlockDropPiece::withColors(1, 2, 4) != piece);
}

QTEST_GUILESS_MAIN(TestBlockDropPiece)
#include "tst_blockdroppiece.moc"
