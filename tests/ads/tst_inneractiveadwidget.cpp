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

// 1×1 GIF with a red and a blue frame.
const QByteArray TwoFrameGif = QByteArray::fromHex(
    "474946383961" "01000100" "800000" "ff0000" "0000ff"
    "21f904000500" "0000" "2c000000000100010000" "02024401" "00"
    "21f904000500" "0000" "2c000000000100010000" "02024c01" "00" "3b");

const QUrl Link(QStringLiteral("https://ads.example/a"));

} // namespace

class TestInnerActiveAdWidget : public QObject
{
    Q_OBJECT

private slots:
    void contentAndActivation_data();
    void contentAndActivation();
    void fitTextFontEnds_data();
    void fitTextFontEnds();
};

void TestInnerActiveAdWidget::contentAndActivation_data()
{
    QTest::addColumn<bool>("showAdText");
    QTest::addColumn<QString>("adText");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<int>("key"); // 0: a tap on the image
    QTest::addColumn<bool>("held"); // auto-repeated key, or a release without its press
    QTest::addColumn<bool>("activates");

    const QString thirty(30, QLatin1Char('x'));
    QTest::newRow("30 characters, tap") << true << thirty << thirty << 0 << false << true;
    QTest::newRow("31 characters, Select") << true << thirty + "y" << thirty + "..." << int(Qt::Key_Select) << false << true;
    QTest::newRow("no text line, keypad Enter") << false << thirty << QString() << int(Qt::Key_Enter) << false << true;
    QTest::newRow("release of a press elsewhere") << true << thirty << thirty << 0 << true << false;
    QTest::newRow("held Select") << true << thirty << thirty << int(Qt::Key_Select) << true << false;
    QTest::newRow("Return") << true << thirty << thirty << int(Qt::Key_Return) << false << false;
}

// Refilled many times over, the banner keeps one image and the last link,
// shows the text cut to 30 characters, and follows a tap or a device key.
void TestInnerActiveAdWidget::contentAndActivation()
{
    QFETCH(bool, showAdText);
    QFETCH(QString, adText);
    QFETCH(QString, shown);
    QFETCH(int, key);
    QFETCH(bool, held);
    QFETCH(bool, activates);

    InnerActiveAdWidget banner(nullptr, TwoFrameGif, QStringLiteral("https://old.example/"), showAdText, "old");
    const QByteArray images[] = {QByteArray(), "not an image", TwoFrameGif};
    for (const QByteArray &image : images)
        banner.setContent(image, Link.toString(), adText);
    QLabel *text = banner.findChild<QLabel *>("lblAdTextCtrl");
    QCOMPARE(text ? text->text() : QString(), shown);
    QCOMPARE(banner.layout()->count(), text ? 2 : 1);
    QLabel *image = banner.findChild<QLabel *>("lblAdImageCtrl");
    QCOMPARE(banner.findChildren<QMovie *>(), QList<QMovie *>{image->movie()});
    QCOMPARE(banner.findChildren<QBuffer *>().size(), 1);
    QTRY_COMPARE(image->movie()->currentImage().pixelColor(0, 0), QColor(Qt::blue)); // played through

    QSignalSpy spy(&banner, &InnerActiveAdWidget::adLinkActivated);
    if (key) {
        QKeyEvent press(QEvent::KeyPress, key, key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier, QString(), held);
        QApplication::sendEvent(&banner, &press);
    } else if (held) {
        QTest::mouseRelease(image, Qt::LeftButton);
    } else {
        QTest::mouseClick(image, Qt::LeftButton);
    }
    QCOMPARE(spy, activates ? QList<QVariantList>{{Link}} : QList<QVariantList>());
}

void TestInnerActiveAdWidget::fitTextFontEnds_data()
{
    QTest::addColumn<bool>("inPixels");
    QTest::newRow("points") << false;
    QTest::newRow("pixels") << true;
}

// A sample that never fits brings the font down to 1 in its own unit, and no lower.
void TestInnerActiveAdWidget::fitTextFontEnds()
{
    QFETCH(bool, inPixels);
    InnerActiveAdWidget banner(nullptr, QByteArray(), Link.toString(), true, QStringLiteral("x"));
    QLabel *text = banner.findChild<QLabel *>("lblAdTextCtrl");
    QFont font;
    inPixels ? font.setPixelSize(40) : font.setPointSize(30);
    text->setFont(font);
    banner.fitTextFont(0);
    QCOMPARE(inPixels ? text->font().pixelSize() : text->font().pointSize(), 1);
    QCOMPARE(text->font().pointSize() == -1, inPixels);
}

QTEST_MAIN(TestInnerActiveAdWidget)
#include "tst_inneractiveadwidget.moc"
