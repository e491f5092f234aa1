// SPDX-FileCopyrightText: 2026 The Tumblox developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Where the window opens: the first-start rule and the saved choice. Then the
// window at handheld, laptop and desktop sizes and at device pixel ratios
// 1, 1.5 and 2: nothing of the preview or the counters is cut off, the digits
// grow with the window, and a desktop first start has square cells.
#include "blockdropboard.h"
#include "blockdropboardtestaccess.h"
#include "blockdropwindow.h"
#include "filebytes.h"
#include "windowplacement.h"

#include <QLCDNumber>
#include <QLabel>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>

class TestWindowGeometry : public QObject
{
    Q_OBJECT

public:
    static void initMain();

private slots:
    void choose_data();
    void choose();
    void nothingCutOff_data();
    void nothingCutOff();
};

namespace {

QScreen *screenOfRatio(qreal ratio)
{
    for (QScreen *screen : QGuiApplication::screens()) {
        if (screen->devicePixelRatio() == ratio)
            return screen;
    }
    return nullptr;
}

// The counter's digits at the screen's ratio: the box of the device pixels
// that 888888 changes against a blank counter, and how many upright segments
// a line across their upper half meets, two for each whole 8.
std::pair<QRect, int> digits(QLCDNumber *counter)
{
    counter->display(QString());
    const QImage blank = counter->grab().toImage();
    counter->display(888888);
    const QImage shown = counter->grab().toImage();
    QRect ink;
    for (int y = 0; y < shown.height(); ++y) {
        for (int x = 0; x < shown.width(); ++x) {
            if (shown.pixel(x, y) != blank.pixel(x, y))
                ink |= QRect(x, y, 1, 1);
        }
    }
    int strokes = 0;
    const int y = ink.top() + ink.height() / 4;
    for (int x = ink.left(); x <= ink.right(); ++x)
        strokes += shown.pixel(x, y) != blank.pixel(x, y) && (x == ink.left() || shown.pixel(x - 1, y) == blank.pixel(x - 1, y));
    return { ink, strokes };
}

} // namespace

void TestWindowGeometry::initMain()
{
    // Three offscreen screens side by side, read when the application starts.
    static QTemporaryDir dir;
    const QString config = dir.filePath(QStringLiteral("screens.json"));
    if (!writeFile(config, R"({ "screens": [
        { "name": "ratio 1", "x": 0, "y": 0, "width": 3840, "height": 2160, "dpr": 1 },
        { "name": "ratio 1.5", "x": 4000, "y": 0, "width": 3840, "height": 2160, "dpr": 1.5 },
        { "name": "ratio 2", "x": 8000, "y": 0, "width": 3840, "height": 2160, "dpr": 2 } ] })"))
        qFatal("cannot write the screen configuration");
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + QFile::encodeName(config));
}

void TestWindowGeometry::choose_data()
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

void TestWindowGeometry::choose()
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

void TestWindowGeometry::nothingCutOff_data()
{
    QTest::addColumn<QSize>("size");
    QTest::addColumn<qreal>("ratio");
    QTest::addColumn<qreal>("firstRatio");
    // Full-screen sizes in logical pixels; an empty size is a desktop first
    // start on a screen of that available size.
    QTest::addColumn<QSize>("available");
    // The least height of the counters' digits in logical pixels: they grow
    // with taller windows.
    QTest::addColumn<int>("digitHeight");
    QTest::newRow("handheld") << QSize(800, 480) << 1.0 << 1.0 << QSize() << 20;
    QTest::newRow("1280 x 720") << QSize(1280, 720) << 1.0 << 1.0 << QSize() << 30;
    QTest::newRow("1920 x 1080") << QSize(1920, 1080) << 1.0 << 1.0 << QSize() << 45;
    QTest::newRow("wide and low") << QSize(1920, 480) << 1.0 << 1.0 << QSize() << 20;
    QTest::newRow("1280 x 720 at 1.5") << QSize(853, 480) << 1.5 << 1.5 << QSize() << 20;
    QTest::newRow("1920 x 1080 at 2, moved from 1") << QSize(960, 540) << 2.0 << 1.0 << QSize() << 22;
    QTest::newRow("portrait phone at 1.5, moved from 2") << QSize(480, 853) << 1.5 << 2.0 << QSize() << 33;
    QTest::newRow("desktop first start, smallest") << QSize() << 1.0 << 1.0 << QSize(1024, 700) << 25;
    QTest::newRow("desktop first start, 1920 x 1080 at 1.5") << QSize() << 1.5 << 1.5 << QSize(1280, 720) << 24;
    QTest::newRow("desktop first start, 4K at 2") << QSize() << 2.0 << 2.0 << QSize(1920, 1080) << 37;
}

void TestWindowGeometry::nothingCutOff()
{
    QFETCH(QSize, size);
    QFETCH(qreal, ratio);
    QFETCH(qreal, firstRatio);
    QFETCH(QSize, available);
    QFETCH(int, digitHeight);
    BlockDropWindow window;
    auto *board = window.findChild<BlockDropBoard *>();
    QRect geometry(QPoint(), size);
    if (size.isEmpty()) {
        const QRect screen(QPoint(), available);
        geometry = WindowPlacement::choose(screen, { screen }, {}, {}, [&](int height) {
                       return window.sizeForSquareCells(height);
                   }).geometry;
    }
    window.setGeometry(geometry.translated(screenOfRatio(firstRatio)->geometry().topLeft()));
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    BlockDropBoardTestAccess t{ *board };
    t.skipAds();
    board->start();
    if (ratio != firstRatio)
        window.move(screenOfRatio(ratio)->geometry().topLeft());
    QTRY_COMPARE(window.devicePixelRatioF(), ratio);
    QTRY_COMPARE(window.size(), geometry.size());

    // The whole piece inside the preview's frame, drawn at the screen's ratio.
    QLabel *preview = nullptr;
    for (QLabel *label : window.findChildren<QLabel *>()) {
        if (!label->pixmap().isNull())
            preview = label;
    }
    QVERIFY(preview);
    const QSizeF piece = preview->pixmap().deviceIndependentSize();
    QVERIFY(piece.width() <= preview->contentsRect().width() && piece.height() <= preview->contentsRect().height());
    QCOMPARE(preview->pixmap().devicePixelRatio(), ratio);

    for (QLCDNumber *counter : window.findChildren<QLCDNumber *>()) {
        // Six whole digits, none running into the counter's edge.
        const auto [ink, strokes] = digits(counter);
        QVERIFY(QRect(QPoint(), counter->size() * ratio).adjusted(1, 1, -1, -1).contains(ink));
        QCOMPARE(strokes, 12);
        QVERIFY(ink.height() / ratio >= digitHeight);
        // Nothing else lies over it.
        for (QWidget *other : window.findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
            QVERIFY(other == counter || !other->geometry().intersects(counter->geometry()));
        QVERIFY(window.rect().contains(counter->geometry()));
    }

    if (size.isEmpty()) {
        const QRect contents = board->contentsRect();
        QVERIFY(qAbs(contents.width() / 12 - contents.height() / 26) <= 1);
    }
}

QTEST_MAIN(TestWindowGeometry)
#include "tst_windowgeometry.moc"
