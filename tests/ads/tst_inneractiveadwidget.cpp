// SPDX-License-Identifier: GPL-3.0-or-later
#include "inneractiveadwidget.h"

#include <QBuffer>
#include <QLabel>
#include <QLayout>
#include <QMovie>
#include <QSignalSpy>
#include <QTest>

namespace {

// 1×1 GIF with a red and a blue frame, 50 ms each, played once.
const QByteArray TwoFrameGif = QByteArray::fromHex(
    "474946383961" "01000100" "800000" "ff0000" "0000ff"
    "21f904" "00" "0500" "00" "00" "2c" "00000000" "01000100" "00" "02" "02" "4401" "00"
    "21f904" "00" "0500" "00" "00" "2c" "00000000" "01000100" "00" "02" "02" "4c01" "00"
    "3b");

const QString LinkA = QStringLiteral("https://ads.example/a");
const QString LinkB = QStringLiteral("https://ads.example/b");

QLabel *textLabelOf(const InnerActiveAdWidget &banner)
{
    return banner.findChild<QLabel *>(QStringLiteral("lblAdTextCtrl"));
}

QMovie *movieOf(const InnerActiveAdWidget &banner)
{
    return banner.findChild<QLabel *>(QStringLiteral("lblAdImageCtrl"))->movie();
}

QUrl activatedLink(const QSignalSpy &spy)
{
    return spy.constFirst().constFirst().toUrl();
}

} // namespace

class TestInnerActiveAdWidget : public QObject
{
    Q_OBJECT

private slots:
    void shownText_data();
    void shownText();
    void noTextLine();
    void activation_data();
    void activation();
    void setContentSwitchesLink();
    void animatedImagePlays();
    void repeatedSetContent();
    void fitTextFontEnds_data();
    void fitTextFontEnds();
};

void TestInnerActiveAdWidget::shownText_data()
{
    QTest::addColumn<QString>("adText");
    QTest::addColumn<QString>("shown");

    const QString thirty(30, QLatin1Char('x'));
    QTest::newRow("empty") << QString() << QString();
    QTest::newRow("30 characters") << thirty << thirty;
    QTest::newRow("31 characters") << thirty + QLatin1Char('y') << thirty + QLatin1String("...");
    QTest::newRow("long") << QString(200, QLatin1Char('z')) << QString(30, QLatin1Char('z')) + "...";
}

void TestInnerActiveAdWidget::shownText()
{
    QFETCH(QString, adText);
    QFETCH(QString, shown);

    InnerActiveAdWidget built(nullptr, QByteArray(), LinkA, true, adText);
    QCOMPARE(textLabelOf(built)->text(), shown);

    InnerActiveAdWidget refilled(nullptr, QByteArray(), LinkA, true, QStringLiteral("old"));
    refilled.setContent(QByteArray(), LinkA, adText);
    QCOMPARE(textLabelOf(refilled)->text(), shown);
}

void TestInnerActiveAdWidget::noTextLine()
{
    InnerActiveAdWidget banner(nullptr, TwoFrameGif, LinkA, false, QStringLiteral("hidden"));
    banner.setContent(TwoFrameGif, LinkB, QStringLiteral("still hidden"));
    banner.fitTextFont(1);

    QVERIFY(!textLabelOf(banner));
    QCOMPARE(banner.layout()->count(), 1);
}

void TestInnerActiveAdWidget::activation_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<int>("emissions");

    QTest::newRow("mouse release on image") << "release" << 1;
    QTest::newRow("mouse press on image") << "press" << 0;
    QTest::newRow("Select") << "select" << 1;
    QTest::newRow("keypad Enter") << "enter" << 1;
    QTest::newRow("Return") << "return" << 0;
    QTest::newRow("Space") << "space" << 0;
}

void TestInnerActiveAdWidget::activation()
{
    QFETCH(QString, input);
    QFETCH(int, emissions);

    InnerActiveAdWidget banner(nullptr, TwoFrameGif, LinkA, true, QStringLiteral("Play now"));
    auto *image = banner.findChild<QLabel *>(QStringLiteral("lblAdImageCtrl"));
    QSignalSpy spy(&banner, &InnerActiveAdWidget::adLinkActivated);

    if (input == "release")
        QTest::mouseRelease(image, Qt::LeftButton);
    else if (input == "press")
        QTest::mousePress(image, Qt::LeftButton);
    else if (input == "select")
        QTest::keyClick(&banner, Qt::Key_Select);
    else if (input == "enter")
        QTest::keyClick(&banner, Qt::Key_Enter, Qt::KeypadModifier);
    else if (input == "return")
        QTest::keyClick(&banner, Qt::Key_Return);
    else
        QTest::keyClick(&banner, Qt::Key_Space);

    QCOMPARE(spy.count(), emissions);
    if (emissions)
        QCOMPARE(activatedLink(spy), QUrl(LinkA));
}

void TestInnerActiveAdWidget::setContentSwitchesLink()
{
    InnerActiveAdWidget banner(nullptr, TwoFrameGif, LinkA, false, QString());
    banner.setContent(TwoFrameGif, LinkB, QString());
    QSignalSpy spy(&banner, &InnerActiveAdWidget::adLinkActivated);

    QTest::keyClick(&banner, Qt::Key_Select);
    banner.setContent(QByteArray(), QString(), QString());
    QTest::keyClick(&banner, Qt::Key_Select);

    QCOMPARE(spy.count(), 2);
    QCOMPARE(spy.at(0).at(0).toUrl(), QUrl(LinkB));
    QCOMPARE(spy.at(1).at(0).toUrl(), QUrl());
}

void TestInnerActiveAdWidget::animatedImagePlays()
{
    InnerActiveAdWidget banner(nullptr, TwoFrameGif, LinkA, false, QString());
    QMovie *movie = movieOf(banner);
    QVERIFY(movie);
    QCOMPARE(movie->frameCount(), 2);

    // Played once, it must come to rest on the blue frame.
    QTRY_COMPARE(movie->state(), QMovie::NotRunning);
    QCOMPARE(movie->currentFrameNumber(), 1);
    QCOMPARE(movie->currentImage().pixelColor(0, 0), QColor(Qt::blue));
}

void TestInnerActiveAdWidget::repeatedSetContent()
{
    InnerActiveAdWidget banner(nullptr, QByteArray(), LinkA, true, QString());
    QVERIFY(!movieOf(banner));

    const QByteArray contents[] = {TwoFrameGif, QByteArray(), QByteArray("not an image"), TwoFrameGif};
    for (int i = 0; i < 200; ++i) {
        banner.setContent(contents[i % 4], LinkB, QString::number(i));
        if (i % 10 == 0)
            QCoreApplication::processEvents();
    }

    // One set of bytes, buffer and movie, and the label plays the newest.
    QCOMPARE(banner.findChildren<QMovie *>().size(), 1);
    QCOMPARE(banner.findChildren<QBuffer *>().size(), 1);
    QMovie *movie = movieOf(banner);
    QCOMPARE(movie, banner.findChild<QMovie *>());
    QTRY_COMPARE(movie->currentFrameNumber(), 1);
}

void TestInnerActiveAdWidget::fitTextFontEnds_data()
{
    QTest::addColumn<QFont>("font");
    QTest::addColumn<int>("maxHeight");

    QFont points;
    points.setPointSize(12);
    QFont hugePoints;
    hugePoints.setPointSize(300);
    QFont hugePixels;
    hugePixels.setPixelSize(600);

    QTest::newRow("points, fits") << points << 1000;
    QTest::newRow("points, 15") << hugePoints << 15;
    QTest::newRow("points, 1") << points << 1;
    QTest::newRow("points, negative") << points << -5;
    QTest::newRow("pixels, 15") << hugePixels << 15;
    QTest::newRow("pixels, 0") << hugePixels << 0;
}

void TestInnerActiveAdWidget::fitTextFontEnds()
{
    QFETCH(QFont, font);
    QFETCH(int, maxHeight);

    InnerActiveAdWidget banner(nullptr, QByteArray(), LinkA, true, QStringLiteral("x"));
    QLabel *text = textLabelOf(banner);
    text->setFont(font);
    banner.fitTextFont(maxHeight);

    // Either the sample fits, or the font has reached 1 in its own unit.
    const QFont fitted = text->font();
    const bool inPixels = font.pointSize() == -1;
    QCOMPARE(fitted.pointSize() == -1, inPixels);
    const int size = inPixels ? fitted.pixelSize() : fitted.pointSize();
    const int height = QFontMetrics(fitted).boundingRect(QStringLiteral("Test Text")).height();
    QVERIFY(size >= 1);
    QVERIFY2(height <= maxHeight || size == 1, qPrintable(QString::number(size)));
    if (height <= maxHeight && size > 1) {
        QFont oneBigger = fitted;
        inPixels ? oneBigger.setPixelSize(size + 1) : oneBigger.setPointSize(size + 1);
        const bool wasAtStart = size == (inPixels ? font.pixelSize() : font.pointSize());
        QVERIFY(wasAtStart || QFontMetrics(oneBigger).boundingRect(QStringLiteral("Test Text")).height() > maxHeight);
    }
}

QTEST_MAIN(TestInnerActiveAdWidget)
#include "tst_inneractiveadwidget.moc"
