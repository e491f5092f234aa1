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
    // A key, a key to the dialog itself, an auto-repeated key, a tap on the image or a click on a button.
    QTest::addColumn<QString>("input");
    QTest::addColumn<int>("key");
    QTest::addColumn<QList<int>>("presses"); // ms from the dialog's opening; before it they go to the game
    QTest::addColumn<QString>("outcome");

    // The left button follows the ad, and is the default that Return presses.
    QTest::newRow("tap, early") << "tap" << 0 << QList<int>{ 100 } << "open";
    QTest::newRow("tap, late") << "tap" << 0 << QList<int>{ 600 } << "followed at 600";
    QTest::newRow("following button, early") << "btnLeft" << 0 << QList<int>{ 100 } << "open";
    QTest::newRow("following button, late") << "btnLeft" << 0 << QList<int>{ 600 } << "followed at 600";
    QTest::newRow("skipping button, early") << "btnRight" << 0 << QList<int>{ 100 } << "skipped at 100";
    QTest::newRow("Select, early") << "key" << int(Qt::Key_Select) << QList<int>{ 100 } << "open";
    QTest::newRow("Return held") << "held" << int(Qt::Key_Return) << QList<int>{ 600 } << "open";
    QTest::newRow("keypad Enter to the dialog, early") << "dialog" << int(Qt::Key_Enter) << QList<int>{ 100 } << "open";
    QTest::newRow("Return to the dialog, early") << "dialog" << int(Qt::Key_Return) << QList<int>{ 100 } << "open";
    QTest::newRow("Escape skips, early") << "key" << int(Qt::Key_Escape) << QList<int>{ 100 } << "skipped at 100";
    QTest::newRow("drops every 400 ms never follow") << "key" << int(Qt::Key_Enter) << QList<int>{ -200, 200, 600, 1000, 1400, 1800 } << "open";
    QTest::newRow("a press after a pause follows") << "key" << int(Qt::Key_Enter) << QList<int>{ -1500, 600 } << "followed at 600";
    QTest::newRow("at 500 ms with no key before") << "key" << int(Qt::Key_Select) << QList<int>{ 500 } << "followed at 500";
    QTest::newRow("a press held back still counts") << "key" << int(Qt::Key_Select) << QList<int>{ 499, 1498, 2498 } << "followed at 2498";
    QTest::newRow("999 ms after a game key") << "key" << int(Qt::Key_Enter) << QList<int>{ -300, 699 } << "open";
    QTest::newRow("1000 ms after a game key") << "key" << int(Qt::Key_Enter) << QList<int>{ -300, 700 } << "followed at 700";
    QTest::newRow("Return to the default button") << "key" << int(Qt::Key_Return) << QList<int>{ -100, 600, 1700 } << "followed at 1700";
}

// Neither a held key nor a press in the first half second follows the ad, nor a key within a
// second of another, in the game or the dialog. Closing stops the countdown.
void TestInnerActiveAdDialog::presses()
{
    QFETCH(QString, input);
    QFETCH(int, key);
    QFETCH(QList<int>, presses);

    QWidget game;
    const qint64 openedAt = now;
    const auto press = [&](QWidget *receiver, int at) {
        now = openedAt + at;
        QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier, QString(), input == "held");
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
    // Taps are held back by a timer: an early one surely lands within it, a late one after it cut short.
    auto *guard = dialog->findChild<QTimer *>("followGuard");
    QCOMPARE(guard->interval(), 500);
    const bool tap = key == 0;
    if (tap)
        guard->setInterval(presses.constLast() >= 500 ? 0 : 3600 * 1000);
    dialog->open();
    QVERIFY(QTest::qWaitForWindowActive(dialog.get()));
    QTRY_VERIFY(!tap || guard->isActive() == (guard->interval() > 0));

    QString outcome = QStringLiteral("open");
    for (int at : std::as_const(presses)) {
        if (at < 0 || !finished.isEmpty())
            continue;
        if (input == "tap")
            QTest::mouseClick(dialog->findChild<QLabel *>("lblAdImageCtrl"), Qt::LeftButton);
        else if (tap)
            QTest::mouseClick(dialog->findChild<QPushButton *>(input), Qt::LeftButton);
        else
            press(input == "dialog" ? dialog.get() : QApplication::focusWidget(), at);
        if (!finished.isEmpty())
            outcome = QStringLiteral("%1 at %2").arg(finished.first().first().toInt() ? "followed" : "skipped").arg(at);
    }
    QTEST(outcome, "outcome");
    QCOMPARE(opened, outcome.startsWith("followed") ? QList<QUrl>{QUrl(AdLink)} : QList<QUrl>());
    QCOMPARE(dialog->findChild<QTimer *>("countdownTimer")->isActive(), outcome == "open");
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
