// SPDX-FileCopyrightText: 2026 The Tumblox developers
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
    "21f904000500" "0000" "2c000000000100010000" "02024401" "00"
    "21f904000500" "0000" "2c000000000100010000" "02024c01" "00" "3b");

const QUrl LinkA(QStringLiteral("https://ads.example/a"));
const QUrl LinkB(QStringLiteral("https://ads.example/b"));

QLabel *label(const QWidget &banner, const char *name)
{
    return banner.findChild<QLabel *>(QLatin1String(name));
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
    void refillsSwitchLinkAndImage();
    void fitTextFontEnds_data();
    void fitTextFontEnds();
};

void TestInnerActiveAdWidget::shownText_data()
{
    QTest::addColumn<QString>("adText");
    QTest::addColumn<QString>("shown");
    const QString thirty(30, QLatin1Char('x'));
    QTest::newRow("30 characters") << thirty << thirty;
    QTest::newRow("31 characters") << thirty + "y" << thirty + "...";
}

void TestInnerActiveAdWidget::shownText()
{
    QFETCH(QString, adText);
    QFETCH(QString, shown);
    InnerActiveAdWidget built(nullptr, QByteArray(), QString(), true, adText);
    InnerActiveAdWidget refilled(nullptr, QByteArray(), QString(), true, QStringLiteral("old"));
    refilled.setContent(QByteArray(), QString(), adText);
    QCOMPARE(label(built, "lblAdTextCtrl")->text(), shown);
    QCOMPARE(label(refilled, "lblAdTextCtrl")->text(), shown);
}

void TestInnerActiveAdWidget::noTextLine()
{
    InnerActiveAdWidget banner(nullptr, TwoFrameGif, LinkA.toString(), false, QStringLiteral("hidden"));
    banner.setContent(TwoFrameGif, LinkB.toString(), QStringLiteral("still hidden"));
    banner.fitTextFont(1);
    QVERIFY(!label(banner, "lblAdTextCtrl"));
    QCOMPARE(banner.layout()->count(), 1);
}

void TestInnerActiveAdWidget::activation_data()
{
    QTest::addColumn<int>("key"); // 0: a tap on the image
    QTest::addColumn<bool>("activates");
    QTest::newRow("tap") << 0 << true;
    QTest::newRow("Select") << int(Qt::Key_Select) << true;
    QTest::newRow("keypad Enter") << int(Qt::Key_Enter) << true;
    QTest::newRow("Return") << int(Qt::Key_Return) << false;
    QTest::newRow("Space") << int(Qt::Key_Space) << false;
}

void TestInnerActiveAdWidget::activation()
{
    QFETCH(int, key);
    QFETCH(bool, activates);
    InnerActiveAdWidget banner(nullptr, TwoFrameGif, LinkA.toString(), true, QStringLiteral("Play"));
    QSignalSpy spy(&banner, &InnerActiveAdWidget::adLinkActivated);
    if (key)
        QTest::keyClick(&banner, Qt::Key(key), key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier);
    else
        QTest::mouseClick(label(banner, "lblAdImageCtrl"), Qt::LeftButton);
    QCOMPARE(spy, activates ? QList<QVariantList>{{LinkA}} : QList<QVariantList>());
}

void TestInnerActiveAdWidget::refillsSwitchLinkAndImage()
{
    InnerActiveAdWidget banner(nullptr, QByteArray(), LinkA.toString(), true, QString());
    QSignalSpy spy(&banner, &InnerActiveAdWidget::adLinkActivated);
    const QByteArray contents[] = {TwoFrameGif, QByteArray(), "not an image", TwoFrameGif};
    for (int i = 0; i < 200; ++i) {
        banner.setContent(contents[i % 4], LinkB.toString(), QString::number(i));
        if (i % 10 == 0)
            QCoreApplication::processEvents();
    }
    QTest::keyClick(&banner, Qt::Key_Select);
    QCOMPARE(spy, QList<QVariantList>{{LinkB}});

    // One set of buffer and movie is left, and it plays on to the blue frame.
    QCOMPARE(banner.findChildren<QBuffer *>().size(), 1);
    QCOMPARE(banner.findChildren<QMovie *>().size(), 1);
    QMovie *movie = label(banner, "lblAdImageCtrl")->movie();
    QCOMPARE(movie, banner.findChild<QMovie *>());
    QTRY_COMPARE(movie->state(), QMovie::NotRunning);
    QCOMPARE(movie->currentFrameNumber(), 1);
    QCOMPARE(movie->currentImage().pixelColor(0, 0), QColor(Qt::blue));
}

void TestInnerActiveAdWidget::fitTextFontEnds_data()
{
    QTest::addColumn<bool>("inPixels");
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("maxHeight");
    QTest::newRow("points, 0") << false << 12 << 0;
    QTest::newRow("points, 15") << false << 300 << 15;
    QTest::newRow("pixels, 15") << true << 600 << 15;
    QTest::newRow("pixels, 0") << true << 600 << 0;
}

void TestInnerActiveAdWidget::fitTextFontEnds()
{
    QFETCH(bool, inPixels);
    QFETCH(int, size);
    QFETCH(int, maxHeight);
    InnerActiveAdWidget banner(nullptr, QByteArray(), LinkA.toString(), true, QStringLiteral("x"));
    QLabel *text = label(banner, "lblAdTextCtrl");
    QFont font;
    inPixels ? font.setPixelSize(size) : font.setPointSize(size);
    text->setFont(font);

    banner.fitTextFont(maxHeight);

    // Either the sample fits, or the font has come down to 1 in its own unit.
    const QFont fitted = text->font();
    QCOMPARE(fitted.pointSize() == -1, inPixels);
    const int fittedSize = inPixels ? fitted.pixelSize() : fitted.pointSize();
    const int height = QFontMetrics(fitted).boundingRect(QStringLiteral("Test Text")).height();
    QVERIFY(fittedSize >= 1);
    QVERIFY(height <= maxHeight || fittedSize == 1);
}

QTEST_MAIN(TestInnerActiveAdWidget)
#include "tst_inneractiveadwidget.moc"
