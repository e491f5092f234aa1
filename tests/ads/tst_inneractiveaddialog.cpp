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

std::unique_ptr<InnerActiveAdDialog> makeDialog(int seconds, const QString &link = AdLink,
                                                const QString &left = "Skip",
                                                const QString &right = "Click",
                                                bool skipOnLeft = true)
{
    return std::make_unique<InnerActiveAdDialog>(QByteArray(), QByteArray(), link, "Play", false,
                                                 left, right, skipOnLeft, seconds, "Skip in",
                                                 nullptr);
}

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
    void buttons_data();
    void buttons();
    void accidentalPresses_data();
    void accidentalPresses();

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
    auto dialog = makeDialog(3);
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

void TestInnerActiveAdDialog::buttons_data()
{
    QTest::addColumn<QString>("left");
    QTest::addColumn<QString>("right");
    QTest::addColumn<bool>("skipOnLeft");
    QTest::addColumn<QString>("shown"); // "left|right" as shown
    QTest::addColumn<bool>("leftFollows");

    QTest::newRow("skip on left") << "Skip" << "Click" << true << "Skip|Click" << false;
    QTest::newRow("skip on right") << "Click" << "Skip" << false << "Click|Skip" << true;
    QTest::newRow("no left text") << "" << "Go" << false << "Skip|Click" << false;
    QTest::newRow("no right text") << "Go" << "" << false << "Skip|Click" << false;
}

// Either button closes the dialog at once, also in its first second, and
// stops the countdown.
void TestInnerActiveAdDialog::buttons()
{
    QFETCH(QString, left);
    QFETCH(QString, right);
    QFETCH(bool, skipOnLeft);
    QFETCH(QString, shown);
    QFETCH(bool, leftFollows);

    for (const char *pressed : {"btnLeft", "btnRight"}) {
        auto dialog = makeDialog(10, AdLink, left, right, skipOnLeft);
        const QString texts = child<QPushButton>(*dialog, "btnLeft")->text() + "|"
                            + child<QPushButton>(*dialog, "btnRight")->text();
        QCOMPARE(texts, shown);

        opened.clear();
        QTimer::singleShot(0, dialog.get(), [&] { child<QPushButton>(*dialog, pressed)->click(); });
        const bool follows = leftFollows == (qstrcmp(pressed, "btnLeft") == 0);
        QCOMPARE(dialog->exec(), int(follows ? QDialog::Accepted : QDialog::Rejected));
        QCOMPARE(opened, follows ? QList<QUrl>{QUrl(AdLink)} : QList<QUrl>());
        QVERIFY(!child<QTimer>(*dialog, "countdownTimer")->isActive());
    }
}

void TestInnerActiveAdDialog::accidentalPresses_data()
{
    QTest::addColumn<QString>("input"); // a key, or a tap or click with the mouse
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("late"); // after the first 500 ms
    QTest::addColumn<bool>("held"); // auto-repeated
    QTest::addColumn<int>("result"); // -1: still open

    QTest::newRow("tap, early") << "tap" << 0 << false << false << -1;
    QTest::newRow("tap, late") << "tap" << 0 << true << false << 1;
    QTest::newRow("pressed early, released late") << "slow tap" << 0 << false << false << -1;
    QTest::newRow("following button, early") << "click" << 0 << false << false << -1;
    QTest::newRow("following button, late") << "click" << 0 << true << false << 1;
    QTest::newRow("Select, early") << "key" << int(Qt::Key_Select) << false << false << -1;
    QTest::newRow("Select, late") << "key" << int(Qt::Key_Select) << true << false << 1;
    QTest::newRow("Select held") << "key" << int(Qt::Key_Select) << true << true << -1;
    QTest::newRow("keypad Enter held") << "key" << int(Qt::Key_Enter) << true << true << -1;
    QTest::newRow("Return on the following default, early") << "key" << int(Qt::Key_Return) << false << false << -1;
    QTest::newRow("Return held") << "key" << int(Qt::Key_Return) << true << true << -1;
    QTest::newRow("Return, late") << "key" << int(Qt::Key_Return) << true << false << 1;
    QTest::newRow("Escape skips, early") << "key" << int(Qt::Key_Escape) << false << false << 0;
}

// The ad may open in the middle of play: neither a held key nor a press in
// its first moments follows it; a deliberate press afterwards does.
void TestInnerActiveAdDialog::accidentalPresses()
{
    QFETCH(QString, input);
    QFETCH(int, key);
    QFETCH(bool, late);
    QFETCH(bool, held);
    QFETCH(int, result);

    // The left button follows the ad, and is the default that Return presses.
    auto dialog = makeDialog(10, AdLink, "Click", "Skip", false);
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
    } else if (input == "click") {
        QTest::mouseClick(child<QPushButton>(*dialog, "btnLeft"), Qt::LeftButton);
    } else {
        const auto modifier = key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier;
        QKeyEvent press(QEvent::KeyPress, key, modifier, QString(), held);
        QApplication::sendEvent(QApplication::focusWidget(), &press);
    }
    QCOMPARE(finished.isEmpty() ? -1 : finished.first().first().toInt(), result);
    QCOMPARE(opened.size(), result == 1 ? 1 : 0);
}

QTEST_MAIN(TestInnerActiveAdDialog)
#include "tst_inneractiveaddialog.moc"
