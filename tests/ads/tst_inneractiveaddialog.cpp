// SPDX-FileCopyrightText: 2026 The Tumblox developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "inneractiveaddialog.h"
#include "inneractiveadwidget.h"
#include "keypresslog.h"

#include <QBuffer>
#include <QDesktopServices>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QMovie>
#include <QPushButton>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

namespace {

const QString AdLink = QStringLiteral("https://ads.example/landing");

// 1×1 GIF with a red and a blue frame, 20 ms each (the shortest Qt keeps), played once.
const QByteArray TwoFrameGif = QByteArray::fromHex(
    "474946383961" "01000100" "800000" "ff0000" "0000ff"
    "21f904000200" "0000" "2c000000000100010000" "02024401" "00"
    "21f904000200" "0000" "2c000000000100010000" "02024c01" "00" "3b");

} // namespace

// The ad dialog and the banner it shows.
class TestInnerActiveAdDialog : public QObject
{
    Q_OBJECT

public slots:
    void record(const QUrl &url) { opened << url; }

private slots:
    // Web links land in the recorder instead of on the desktop; key presses
    // are timed by the test's clock, and each test starts long after the last press.
    void initTestCase()
    {
        QDesktopServices::setUrlHandler("https", this, "record");
        KeyPressLog::instance()->setClock([this] { return now; });
    }
    void cleanupTestCase() { QDesktopServices::unsetUrlHandler("https"); }
    void init()
    {
        opened.clear();
        now += 100000;
    }
    void countdownRunsOut();
    void presses_data();
    void presses();
    void keysAfterOtherKeys_data();
    void keysAfterOtherKeys();
    void banner_data();
    void banner();
    void bannerFontEnds();

private:
    QList<QUrl> opened;
    qint64 now = 0;
};

void TestInnerActiveAdDialog::countdownRunsOut()
{
    auto dialog = std::make_unique<InnerActiveAdDialog>(QByteArray(), QByteArray(), AdLink, "Play", false, "Skip",
                                                        "Click", true, 3, "Skip in", nullptr);
    const QLabel *countdown = dialog->findChild<QLabel *>("labelSkip");
    // Black on white whatever the style: the ad's own look.
    QCOMPARE(dialog->palette().color(QPalette::Window), QColor(Qt::white));
    QCOMPARE(dialog->palette().color(QPalette::Base), QColor(Qt::black));
    QCOMPARE(countdown->palette().color(QPalette::Active, QPalette::WindowText), QColor(Qt::black));
    QCOMPARE(countdown->palette().color(QPalette::Inactive, QPalette::WindowText), QColor(Qt::black));
    QCOMPARE(dialog->findChild<QLabel *>("label")->alignment(), Qt::AlignVCenter);
    // The logo, the banner and the countdown each in the middle of a wide dialog.
    dialog->resize(600, dialog->sizeHint().height());
    dialog->layout()->activate();
    for (const QWidget *row : QWidgetList{dialog->findChild<QLabel *>("label"), dialog->findChild<QLabel *>("labelSkip"),
                                          dialog->findChild<InnerActiveAdWidget *>()})
        QVERIFY2(qAbs(row->geometry().center().x() - 300) <= 1, qPrintable(row->objectName()));

    // A step a second, taken here without the wait.
    auto *timer = dialog->findChild<QTimer *>("countdownTimer");
    QCOMPARE(timer->interval(), 1000);
    timer->setInterval(0);
    // Connected after the dialog's own slot, so each entry is one step's outcome.
    QStringList steps;
    connect(timer, &QTimer::timeout, this,
            [&] { steps << (dialog->isVisible() ? countdown->text() : "closed"); });
    QCOMPARE(dialog->exec(), int(QDialog::Rejected));
    QCOMPARE(steps, QStringList({"<b>Skip in 2</b>", "<b>Skip in 1</b>", "closed"}));
}

void TestInnerActiveAdDialog::presses_data()
{
    QTest::addColumn<QString>("input"); // a key, a tap on the image or a click on a button
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("late"); // after the guard of the first moments
    QTest::addColumn<bool>("held"); // auto-repeated
    QTest::addColumn<int>("result"); // -1: still open

    // The left button follows the ad, and is the default that Return presses.
    QTest::newRow("tap, early") << "tap" << 0 << false << false << -1;
    QTest::newRow("tap, late") << "tap" << 0 << true << false << 1;
    QTest::newRow("following button, early") << "btnLeft" << 0 << false << false << -1;
    QTest::newRow("following button, late") << "btnLeft" << 0 << true << false << 1;
    QTest::newRow("skipping button, early") << "btnRight" << 0 << false << false << 0;
    QTest::newRow("Select, early") << "key" << int(Qt::Key_Select) << false << false << -1;
    QTest::newRow("Return held") << "key" << int(Qt::Key_Return) << true << true << -1;
    QTest::newRow("Return, late") << "key" << int(Qt::Key_Return) << true << false << 1;
    QTest::newRow("keypad Enter to the dialog, early") << "dialog" << int(Qt::Key_Enter) << false << false << -1;
    QTest::newRow("Return to the dialog, early") << "dialog" << int(Qt::Key_Return) << false << false << -1;
    QTest::newRow("Escape skips, early") << "key" << int(Qt::Key_Escape) << false << false << 0;
}

// Neither a held key nor a press in the ad's first moments follows it; a
// deliberate press afterwards does. Closing stops the countdown.
void TestInnerActiveAdDialog::presses()
{
    QFETCH(QString, input);
    QFETCH(int, key);
    QFETCH(bool, late);
    QFETCH(bool, held);
    QFETCH(int, result);

    auto dialog = std::make_unique<InnerActiveAdDialog>(QByteArray(), QByteArray(), AdLink, "Play", false, "Click",
                                                        "Skip", false, 10, "Skip in", nullptr);
    QSignalSpy finished(dialog.get(), &QDialog::finished);
    // The first half second is held back; here an early press surely lands
    // within the guard, and a late one after a guard cut short.
    auto *guard = dialog->findChild<QTimer *>("followGuard");
    QCOMPARE(guard->interval(), 500);
    guard->setInterval(late ? 0 : 3600 * 1000);
    dialog->open();
    QVERIFY(QTest::qWaitForWindowActive(dialog.get()));
    QTRY_COMPARE(guard->isActive(), !late);

    if (input == "tap") {
        QTest::mouseClick(dialog->findChild<QLabel *>("lblAdImageCtrl"), Qt::LeftButton);
    } else if (input.startsWith("btn")) {
        QTest::mouseClick(dialog->findChild<QPushButton *>(input), Qt::LeftButton);
    } else {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, QString(), held);
        press.setTimestamp(now);
        QApplication::sendEvent(input == "dialog" ? dialog.get() : QApplication::focusWidget(), &press);
    }
    QCOMPARE(finished.isEmpty() ? -1 : finished.first().first().toInt(), result);
    QCOMPARE(opened, result == 1 ? QList<QUrl>{QUrl(AdLink)} : QList<QUrl>());
    QCOMPARE(dialog->findChild<QTimer *>("countdownTimer")->isActive(), result == -1);
}

void TestInnerActiveAdDialog::keysAfterOtherKeys_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<QList<int>>("presses"); // ms from the dialog's opening; before it they go to the game
    QTest::addColumn<int>("follows"); // the press that follows the ad, -1 for none

    QTest::newRow("drops every 400 ms never follow") << int(Qt::Key_Enter) << QList<int>{ -200, 200, 600, 1000, 1400, 1800 } << -1;
    QTest::newRow("a press after a pause follows") << int(Qt::Key_Enter) << QList<int>{ -1500, 600 } << 600;
    QTest::newRow("at 500 ms with no key before") << int(Qt::Key_Select) << QList<int>{ 500 } << 500;
    QTest::newRow("a press held back still counts") << int(Qt::Key_Select) << QList<int>{ 499, 1498, 2498 } << 2498;
    QTest::newRow("999 ms after a game key") << int(Qt::Key_Enter) << QList<int>{ -300, 699 } << -1;
    QTest::newRow("1000 ms after a game key") << int(Qt::Key_Enter) << QList<int>{ -300, 700 } << 700;
    QTest::newRow("Return to the default button") << int(Qt::Key_Return) << QList<int>{ -100, 600, 1700 } << 1700;
}

// A key follows the ad only once the dialog has been open 500 ms and no key
// at all came in the second before it, in the game or in the dialog.
void TestInnerActiveAdDialog::keysAfterOtherKeys()
{
    QFETCH(int, key);
    QFETCH(QList<int>, presses);
    QFETCH(int, follows);

    QWidget game;
    const qint64 openedAt = now;
    const auto press = [&](QWidget *receiver, int at) {
        now = openedAt + at;
        QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier);
        event.setTimestamp(now);
        QApplication::sendEvent(receiver, &event);
    };
    for (int at : std::as_const(presses)) {
        if (at < 0)
            press(&game, at);
    }
    now = openedAt;
    auto dialog = std::make_unique<InnerActiveAdDialog>(QByteArray(), QByteArray(), AdLink, "Play", false, "Click",
                                                        "Skip", false, 10, "Skip in", nullptr);
    QSignalSpy finished(dialog.get(), &QDialog::finished);
    dialog->open();
    QVERIFY(QTest::qWaitForWindowActive(dialog.get()));
    int followedAt = -1;
    for (int at : std::as_const(presses)) {
        if (at >= 0 && finished.isEmpty()) {
            press(QApplication::focusWidget(), at);
            if (!finished.isEmpty())
                followedAt = at;
        }
    }
    QCOMPARE(followedAt, follows);
    QCOMPARE(finished.isEmpty() ? -1 : finished.first().first().toInt(), follows < 0 ? -1 : 1);
}

void TestInnerActiveAdDialog::banner_data()
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
}

// Refilled many times over, the banner keeps one image and the last link,
// shows the text cut to 30 characters, and follows a tap or a device key.
void TestInnerActiveAdDialog::banner()
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
        banner.setContent(image, AdLink, adText);
    QLabel *text = banner.findChild<QLabel *>("lblAdTextCtrl");
    QCOMPARE(text ? text->text() : QString(), shown);
    QCOMPARE(text ? text->alignment() : Qt::AlignCenter, Qt::AlignCenter);
    QCOMPARE(banner.layout()->contentsMargins(), QMargins());
    QLabel *image = banner.findChild<QLabel *>("lblAdImageCtrl");
    QCOMPARE(banner.findChildren<QMovie *>(), QList<QMovie *>{image->movie()});
    QCOMPARE(banner.findChildren<QBuffer *>().size(), 1);
    QMovie *movie = image->movie();
    QVERIFY(movie->state() == QMovie::NotRunning || QSignalSpy(movie, &QMovie::finished).wait());
    QCOMPARE(movie->currentImage().pixelColor(0, 0), QColor(Qt::blue)); // played through

    QSignalSpy spy(&banner, &InnerActiveAdWidget::adLinkActivated);
    if (key) {
        QKeyEvent press(QEvent::KeyPress, key, key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier, QString(), held);
        QApplication::sendEvent(&banner, &press);
    } else if (held) {
        QTest::mouseRelease(image, Qt::LeftButton);
    } else {
        QTest::mouseClick(image, Qt::LeftButton);
    }
    QCOMPARE(spy, activates ? QList<QVariantList>{{QUrl(AdLink)}} : QList<QVariantList>());
}

// The text line fits 15 pixels; a sample that never fits brings the font
// down to 1 in its own unit, and no lower.
void TestInnerActiveAdDialog::bannerFontEnds()
{
    // The banner's label takes the application font; the next test gets it back.
    const auto restore = qScopeGuard([font = QApplication::font()] { QApplication::setFont(font); });
    QFont font;
    font.setPixelSize(40);
    QApplication::setFont(font);
    InnerActiveAdWidget banner(nullptr, QByteArray(), AdLink, true, QStringLiteral("x"));
    QLabel *text = banner.findChild<QLabel *>("lblAdTextCtrl");
    QVERIFY(QFontMetrics(text->font()).boundingRect("Test Text").height() <= 15);
    banner.fitTextFont(0);
    QCOMPARE(text->font().pixelSize(), 1);
    font.setPointSize(30);
    text->setFont(font);
    banner.fitTextFont(0);
    QCOMPARE(text->font().pointSize(), 1);
}

QTEST_MAIN(TestInnerActiveAdDialog)
#include "tst_inneractiveaddialog.moc"
