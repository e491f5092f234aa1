// SPDX-FileCopyrightText: 2026 The Tumblox developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Where the window opens: the first-start rule and the saved choice. The
// real-window test shows F11 and the remembering.
#include "windowplacement.h"

#include <QTest>

class TestWindowPlacement : public QObject
{
    Q_OBJECT

private slots:
    void choose_data();
    void choose();
};

void TestWindowPlacement::choose_data()
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
    QTest::newRow("a little narrower than a desktop") << QRect(0, 0, 1023, 768) << QList<QRect>{ QRect(0, 0, 1023, 768) } << none << none << true << QRect(322, 57, 378, 653);
    QTest::newRow("a little lower than a desktop") << QRect(0, 0, 1366, 699) << QList<QRect>{ QRect(0, 0, 1366, 699) } << none << none << true << QRect(511, 52, 344, 594);
    QTest::newRow("smallest desktop") << QRect(0, 0, 1024, 700) << QList<QRect>{ QRect(0, 0, 1024, 700) } << none << none << false << QRect(339, 52, 345, 595);
    QTest::newRow("1280 x 720") << QRect(0, 0, 1280, 720) << QList<QRect>{ QRect(0, 0, 1280, 720) } << none << none << false << QRect(463, 54, 354, 612);
    QTest::newRow("1920 x 1080 beside a panel") << QRect(0, 40, 1920, 1040) << QList<QRect>{ QRect(0, 40, 1920, 1040) } << none << none << false << QRect(704, 118, 512, 884);
    QTest::newRow("4K at scale 2") << hd << QList<QRect>{ hd } << none << none << false << QRect(694, 81, 532, 918);
    QTest::newRow("saved window") << hd << QList<QRect>{ hd } << no << QVariant(QRect(100, 50, 600, 900)) << false << QRect(100, 50, 600, 900);
    QTest::newRow("saved full screen on a desktop, read as text") << hd << QList<QRect>{ hd } << QVariant(QStringLiteral("true")) << QVariant(QRect(100, 50, 600, 900)) << true << QRect(100, 50, 600, 900);
    QTest::newRow("saved window on a second screen") << hd << QList<QRect>{ hd, QRect(1920, 0, 1280, 1024) } << no << QVariant(QRect(2000, 100, 600, 900)) << false << QRect(2000, 100, 600, 900);
    QTest::newRow("saved window partly off its screen, moved on") << hd << QList<QRect>{ hd } << no << QVariant(QRect(1700, -20, 600, 900)) << false << QRect(1320, 0, 600, 900);
    QTest::newRow("saved window off every screen") << hd << QList<QRect>{ hd } << no << QVariant(QRect(1920, 100, 600, 900)) << false << QRect(694, 81, 532, 918);
    QTest::newRow("saved window larger than the screen now") << QRect(0, 0, 800, 480) << QList<QRect>{ QRect(0, 0, 800, 480) } << no << QVariant(QRect(0, 0, 600, 900)) << true << QRect(282, 36, 236, 408);
    QTest::newRow("garbage geometry") << hd << QList<QRect>{ hd } << no << QVariant(QStringLiteral("@Rect(1 2")) << false << QRect(694, 81, 532, 918);
    QTest::newRow("garbage mode") << QRect(0, 0, 800, 480) << QList<QRect>{ QRect(0, 0, 800, 480) } << QVariant(QStringLiteral("yes")) << QVariant(QRect(0, 0, 600, 400)) << true << QRect(282, 36, 236, 408);
    QTest::newRow("mode without a geometry") << hd << QList<QRect>{ hd } << QVariant(true) << none << false << QRect(694, 81, 532, 918);
}

void TestWindowPlacement::choose()
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

QTEST_GUILESS_MAIN(TestWindowPlacement)
#include "tst_windowplacement.moc"
