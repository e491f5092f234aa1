// SPDX-FileCopyrightText: 2026 The Tumblox developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "inneractiveaddialog.h"
#include "inneractiveadwidget.h"

#include <QDesktopServices>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

namespace {

const QString AdLink = QStringLiteral("https://ads.example/landing");

// Web links land in the recorder instead of on the desktop.
const QStringList Schemes = {"http", "https"};

template<typename T>
T *child(const QDialog &dialog, const char *name)
{
    return dialog.findChild<T *>(QLatin1String(name));
}

} // namespace

class TestInnerActiveAdDialog : public QObject
{
    Q_OBJECT

public slots:
    void record(const QUrl &url) { opened << url; }

private slots:
    void initTestCase();
    void init() { opened.clear(); }
    void countdownRunsOut();
    void presses_data();
    void presses();

private:
    QList<QUrl> opened;
};

void TestInnerActiveAdDialog::initTestCase()
{
    for (const QString &scheme : Schemes)
        QDesktopServices::setUrlHandler(scheme, this, "record");
}

void TestInnerActiveAdDialog::countdownRunsOut()
{
    auto dialog = std::make_unique<InnerActiveAdDialog>(QByteArray(), QByteArray(), AdLink, "Play", false, "Skip",
                                                        "Click", true, 3, "Skip in", nullptr);
    const auto countdown = [&dialog] { return child<QLabel>(*dialog, "labelSkip")->text(); };
    QCOMPARE(countdown(), "<b>Skip in 3</b>");

    // Connected after the dialog's own slot, so each entry is one step's outcome.
    QStringList steps;
    connect(child<QTimer>(*dialog, "countdownTimer"), &QTimer::timeout, this,
            [&] { steps << (dialog->isVisible() ? countdown() : "closed"); });
    QCOMPARE(dialog->exec(), int(QDialog::Rejected));
    QCOMPARE(steps, QStringList({"<b>Skip in 2</b>", "<b>Skip in 1</b>", "closed"}));
    QVERIFY(opened.isEmpty());
}

void TestInnerActiveAdDialog::presses_data()
{
    QTest::addColumn<QString>("input"); // a key, a tap on the image or a click on a button
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("late"); // after the first 500 ms
    QTest::addColumn<bool>("held"); // auto-repeated
    QTest::addColumn<int>("result"); // -1: still open
    QTest::addColumn<QString>("left");
    QTest::addColumn<QString>("right");
    QTest::addColumn<bool>("skipOnLeft");
    QTest::addColumn<QString>("shown"); // the button texts as shown

    // By default the left button follows the ad, and is the default that Return presses.
    const auto row = [](const char *name, const char *input, int key, bool late, bool held, int result,
                        const QString &left = "Click", const QString &right = "Skip", bool skipOnLeft = false,
                        const QString &shown = "Click|Skip") {
        QTest::newRow(name) << QString::fromLatin1(input) << key << late << held << result << left << right << skipOnLeft << shown;
    };
    row("tap, early", "tap", 0, false, false, -1);
    row("tap, late", "tap", 0, true, false, 1);
    row("pressed early, released late", "slow tap", 0, false, false, -1);
    row("following button, early", "btnLeft", 0, false, false, -1);
    row("following button, late", "btnLeft", 0, true, false, 1);
    row("skipping button, early", "btnRight", 0, false, false, 0);
    row("Select, early", "key", Qt::Key_Select, false, false, -1);
    row("Select, late", "key", Qt::Key_Select, true, false, 1);
    row("Select held", "key", Qt::Key_Select, true, true, -1);
    row("keypad Enter held", "key", Qt::Key_Enter, true, true, -1);
    row("Return on the following default, early", "key", Qt::Key_Return, false, false, -1);
    row("Return held", "key", Qt::Key_Return, true, true, -1);
    row("Return, late", "key", Qt::Key_Return, true, false, 1);
    row("Escape skips, early", "key", Qt::Key_Escape, false, false, 0);
    row("skip on left, left button", "btnLeft", 0, true, false, 0, "Skip", "Click", true, "Skip|Click");
    row("skip on left, right button", "btnRight", 0, true, false, 1, "Skip", "Click", true, "Skip|Click");
    row("no left text", "btnLeft", 0, true, false, 0, "", "Go", false, "Skip|Click");
    row("no right text", "btnRight", 0, true, false, 1, "Go", "", false, "Skip|Click");
}

// The ad may open in the middle of play: neither a held key nor a press in
// its first moments follows it; a deliberate press afterwards does. Closing
// stops the countdown.
void TestInnerActiveAdDialog::presses()
{
    QFETCH(QString, input);
    QFETCH(int, key);
    QFETCH(bool, late);
    QFETCH(bool, held);
    QFETCH(int, result);
    QFETCH(QString, left);
    QFETCH(QString, right);
    QFETCH(bool, skipOnLeft);
    QFETCH(QString, shown);

    auto dialog = std::make_unique<InnerActiveAdDialog>(QByteArray(), QByteArray(), AdLink, "Play", false, left,
                                                        right, skipOnLeft, 10, "Skip in", nullptr);
    const auto button = [&dialog](const QString &name) { return dialog->findChild<QPushButton *>(name); };
    QCOMPARE(button("btnLeft")->text() + "|" + button("btnRight")->text(), shown);
    QSignalSpy finished(dialog.get(), &QDialog::finished);
    QSignalSpy guardOver(child<QTimer>(*dialog, "followGuard"), &QTimer::timeout);
    dialog->open();
    QVERIFY(QTest::qWaitForWindowActive(dialog.get()));
    QVERIFY(!late || guardOver.wait());

    auto *image = child<QLabel>(*dialog, "lblAdImageCtrl");
    if (input == "tap") {
        QTest::mouseClick(image, Qt::LeftButton);
    } else if (input == "slow tap") {
        QTest::mousePress(image, Qt::LeftButton);
        QVERIFY(guardOver.wait());
        QTest::mouseRelease(image, Qt::LeftButton);
    } else if (input.startsWith("btn")) {
        QTest::mouseClick(button(input), Qt::LeftButton);
    } else {
        const auto modifier = key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier;
        QKeyEvent press(QEvent::KeyPress, key, modifier, QString(), held);
        QApplication::sendEvent(QApplication::focusWidget(), &press);
    }
    QCOMPARE(finished.isEmpty() ? -1 : finished.first().first().toInt(), result);
    QCOMPARE(opened, result == 1 ? QList<QUrl>{QUrl(AdLink)} : QList<QUrl>());
    QCOMPARE(child<QTimer>(*dialog, "countdownTimer")->isActive(), result == -1);
}

QTEST_MAIN(TestInnerActiveAdDialog)
#include "tst_inneractiveaddialog.moc"
