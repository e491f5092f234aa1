// SPDX-FileCopyrightText: 2026 The Tumblox developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The committed artwork: what the game loads from its resources, and the
// development ad server's images, read as the game and the banner read them.
#include "blockdroprenderer.h"

#include <QImageReader>
#include <QPixmap>
#include <QtTest>

class TestArtwork : public QObject
{
    Q_OBJECT

private slots:
    void images_data();
    void images();
};

void TestArtwork::images_data()
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

// Resources live in a static library, so they must be registered to load at all.
void TestArtwork::images()
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

QTEST_MAIN(TestArtwork)
#include "tst_artwork.moc"
