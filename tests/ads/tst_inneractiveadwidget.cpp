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
    void textLine_data();
    void textLine();
    void activation_data();
    void activation();
    void refillsSwitchLinkAndImage();
    void fitTextFontEnds_data();
    void fitTextFontEnds();
};

void TestInnerActiveAdWidget::textLine_data()
{
    QTest::addColumn<bool>("showAdText");
    QTest::addColumn<QString>("adText");
    QTest::addColumn<QString>("shown"); // null: no text line at all
    const QString thirty(30, QLatin1Char('x'));
    QTest::newRow("30 characters") << true << thirty << thirty;
    QTest::newRow("31 characters") << true << thirty + "y" << thirty + "...";
    QTest::newRow("no text line") << false << thirty << QString();
}

// As built and as refilled.
void TestInnerActiveAdWidget::textLine()
{
    QFETCH(bool, showAdText);
    QFETCH(QString, adText);
    QFETCH(QString, shown);
    InnerActiveAdWidget built(nullptr, TwoFrameGif, QString(), showAdText, adText);
    InnerActiveAdWidget refilled(nullptr, QByteArray(), QString(), showAdText, QStringLiteral("old"));
    refilled.setContent(TwoFrameGif, QString(), adText);
    for (const InnerActiveAdWidget *banner : {&built, &refilled}) {
        QLabel *text = label(*banner, "lblAdTextCtrl");
        QCOMPARE(text ? text->text() : QString(), shown);
        QCOMPARE(banner->layout()->count(), shown.isNull() ? 1 : 2);
    }
}

void TestInnerActiveAdWidget::activation_data()
{
    QTest::addColumn<int>("key"); // 0: a tap on the image
    QTest::addColumn<bool>("held"); // auto-repeated key, or a release without its press
    QTest::addColumn<bool>("activates");
    QTest::newRow("tap") << 0 << false << true;
    QTest::newRow("release of a press elsewhere") << 0 << true << false;
    QTest::newRow("Select") << int(Qt::Key_Select) << false << true;
    QTest::newRow("keypad Enter") << int(Qt::Key_Enter) << false << true;
    QTest::newRow("held Select") << int(Qt::Key_Select) << true << false;
    QTest::newRow("Return") << int(Qt::Key_Return) << false << false;
}

void TestInnerActiveAdWidget::activation()
{
    QFETCH(int, key);
    QFETCH(bool, held);
    QFETCH(bool, activates);
    InnerActiveAdWidget banner(nullptr, TwoFrameGif, LinkA.toString(), true, QStringLiteral("Play"));
    QSignalSpy spy(&banner, &InnerActiveAdWidget::adLinkActivated);
    if (key) {
        QKeyEvent press(QEvent::KeyPress, key, key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier,
                        QString(), held);
        QApplication::sendEvent(&banner, &press);
    } else if (held) {
        QTest::mouseRelease(label(banner, "lblAdImageCtrl"), Qt::LeftButton);
    } else {
        QTest::mouseClick(label(banner, "lblAdImageCtrl"), Qt::LeftButton);
    }
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
    QMovie *movie = label(banner, "lblAdImageCtrl")->movie();
    QCOMPARE(banner.findChildren<QMovie *>(), QList<QMovie *>{movie});
    QTRY_COMPARE(movie->state(), QMovie::NotRunning);
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
