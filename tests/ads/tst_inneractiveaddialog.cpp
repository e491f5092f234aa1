// SPDX-License-Identifier: GPL-3.0-or-later
#include "inneractiveaddialog.h"
#include "inneractiveadwidget.h"

#include <QDesktopServices>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

namespace {

const QString AdLink = QStringLiteral("https://ads.example/landing");

// Every scheme an ad could carry lands here instead of on the desktop.
const QStringList RecordedSchemes = {
    QStringLiteral("http"), QStringLiteral("https"), QStringLiteral("file"),
    QStringLiteral("javascript"), QStringLiteral("mailto"), QStringLiteral("tumblox")};

struct DialogSetup
{
    QString link = AdLink;
    QString left = QStringLiteral("Skip");
    QString right = QStringLiteral("Click");
    bool skipOnLeft = true;
    int seconds = 10;
};

std::unique_ptr<InnerActiveAdDialog> makeDialog(const DialogSetup &setup)
{
    return std::make_unique<InnerActiveAdDialog>(
        QByteArray(), QByteArray(), setup.link, QStringLiteral("Play Tumblox"), false,
        setup.left, setup.right, setup.skipOnLeft, setup.seconds, QStringLiteral("Skip in"),
        nullptr);
}

QString countdownOf(const QDialog &dialog)
{
    return dialog.findChild<QLabel *>(QStringLiteral("labelSkip"))->text();
}

QPushButton *button(const QDialog &dialog, const char *name)
{
    return dialog.findChild<QPushButton *>(QLatin1String(name));
}

QTimer *countdownTimerOf(const QDialog &dialog)
{
    return dialog.findChild<QTimer *>(QString(), Qt::FindDirectChildrenOnly);
}

} // namespace

class TestInnerActiveAdDialog : public QObject
{
    Q_OBJECT

public slots:
    void record(const QUrl &url) { opened.append(url); }

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init() { opened.clear(); }

    void countdownRunsOut();
    void noCountdown();
    void skipInFirstSecond();
    void buttons_data();
    void buttons();
    void bannerActivation_data();
    void bannerActivation();
    void onlyWebLinksOpen_data();
    void onlyWebLinksOpen();

private:
    QList<QUrl> opened;
};

void TestInnerActiveAdDialog::initTestCase()
{
    for (const QString &scheme : RecordedSchemes)
        QDesktopServices::setUrlHandler(scheme, this, "record");
}

void TestInnerActiveAdDialog::cleanupTestCase()
{
    for (const QString &scheme : RecordedSchemes)
        QDesktopServices::unsetUrlHandler(scheme);
}

void TestInnerActiveAdDialog::countdownRunsOut()
{
    DialogSetup setup;
    setup.seconds = 3;
    auto dialog = makeDialog(setup);
    QCOMPARE(countdownOf(*dialog), QStringLiteral("<b>Skip in 3</b>"));

    // Connected after the dialog's own slot, so each entry shows one step's outcome.
    QStringList steps;
    connect(countdownTimerOf(*dialog), &QTimer::timeout, this, [&] {
        steps << (dialog->isVisible() ? countdownOf(*dialog) : QStringLiteral("closed"));
    });

    QCOMPARE(dialog->exec(), int(QDialog::Rejected));
    QCOMPARE(steps, QStringList({"<b>Skip in 2</b>", "<b>Skip in 1</b>", "closed"}));
    QVERIFY(opened.isEmpty());
}

void TestInnerActiveAdDialog::noCountdown()
{
    DialogSetup setup;
    setup.seconds = 0;
    auto dialog = makeDialog(setup);

    QVERIFY(countdownOf(*dialog).isEmpty());
    QVERIFY(!countdownTimerOf(*dialog));
}

void TestInnerActiveAdDialog::skipInFirstSecond()
{
    DialogSetup setup;
    setup.seconds = 2;
    auto dialog = makeDialog(setup);
    QSignalSpy finished(dialog.get(), &QDialog::finished);
    dialog->open();

    button(*dialog, "btnLeft")->click();
    QCOMPARE(finished.count(), 1);
    QCOMPARE(finished.at(0).at(0).toInt(), int(QDialog::Rejected));

    // A countdown step left running would close the dialog a second time.
    QVERIFY(!finished.wait(1500));
    QCOMPARE(countdownOf(*dialog), QStringLiteral("<b>Skip in 2</b>"));
}

void TestInnerActiveAdDialog::buttons_data()
{
    QTest::addColumn<QString>("left");
    QTest::addColumn<QString>("right");
    QTest::addColumn<bool>("skipOnLeft");
    QTest::addColumn<QString>("pressed");
    QTest::addColumn<QString>("shownLeft");
    QTest::addColumn<QString>("shownRight");
    QTest::addColumn<bool>("follows");

    QTest::newRow("skip on left, skip") << "Skip" << "Click" << true << "btnLeft" << "Skip" << "Click" << false;
    QTest::newRow("skip on left, follow") << "Skip" << "Click" << true << "btnRight" << "Skip" << "Click" << true;
    QTest::newRow("skip on right, follow") << "Click" << "Skip" << false << "btnLeft" << "Click" << "Skip" << true;
    QTest::newRow("skip on right, skip") << "Click" << "Skip" << false << "btnRight" << "Click" << "Skip" << false;
    QTest::newRow("translated") << "Weiter" << "Ansehen" << true << "btnRight" << "Weiter" << "Ansehen" << true;
    QTest::newRow("no left text, left") << "" << "Go" << false << "btnLeft" << "Skip" << "Click" << false;
    QTest::newRow("no left text, right") << "" << "Go" << false << "btnRight" << "Skip" << "Click" << true;
    QTest::newRow("no right text, left") << "Go" << "" << false << "btnLeft" << "Skip" << "Click" << false;
    QTest::newRow("no texts, right") << "" << "" << true << "btnRight" << "Skip" << "Click" << true;
}

void TestInnerActiveAdDialog::buttons()
{
    QFETCH(QString, left);
    QFETCH(QString, right);
    QFETCH(bool, skipOnLeft);
    QFETCH(QString, pressed);
    QFETCH(QString, shownLeft);
    QFETCH(QString, shownRight);
    QFETCH(bool, follows);

    DialogSetup setup;
    setup.left = left;
    setup.right = right;
    setup.skipOnLeft = skipOnLeft;
    auto dialog = makeDialog(setup);
    QCOMPARE(button(*dialog, "btnLeft")->text(), shownLeft);
    QCOMPARE(button(*dialog, "btnRight")->text(), shownRight);

    QTimer::singleShot(0, dialog.get(), [&] { button(*dialog, qPrintable(pressed))->click(); });
    QCOMPARE(dialog->exec(), int(follows ? QDialog::Accepted : QDialog::Rejected));
    QCOMPARE(opened, follows ? QList<QUrl>{QUrl(AdLink)} : QList<QUrl>());
    QVERIFY(!countdownTimerOf(*dialog)->isActive());
}

void TestInnerActiveAdDialog::bannerActivation_data()
{
    QTest::addColumn<QString>("input");

    QTest::newRow("tap on image") << "tap";
    QTest::newRow("Select") << "select";
    QTest::newRow("keypad Enter") << "enter";
}

void TestInnerActiveAdDialog::bannerActivation()
{
    QFETCH(QString, input);

    auto dialog = makeDialog(DialogSetup());
    auto *banner = dialog->findChild<InnerActiveAdWidget *>();
    QSignalSpy finished(dialog.get(), &QDialog::finished);
    dialog->open();
    QVERIFY(QTest::qWaitForWindowActive(dialog.get()));
    QCOMPARE(QApplication::focusWidget(), banner);

    // Keys go through the window, so they reach whatever really has the focus.
    if (input == "tap")
        QTest::mouseClick(banner->findChild<QLabel *>(QStringLiteral("lblAdImageCtrl")), Qt::LeftButton);
    else if (input == "select")
        QTest::keyClick(dialog->windowHandle(), Qt::Key_Select);
    else
        QTest::keyClick(dialog->windowHandle(), Qt::Key_Enter, Qt::KeypadModifier);

    QCOMPARE(finished.count(), 1);
    QCOMPARE(dialog->result(), int(QDialog::Accepted));
    QCOMPARE(opened, QList<QUrl>{QUrl(AdLink)});
    QVERIFY(!countdownTimerOf(*dialog)->isActive());
}

void TestInnerActiveAdDialog::onlyWebLinksOpen_data()
{
    QTest::addColumn<QString>("link");
    QTest::addColumn<bool>("opens");

    QTest::newRow("http") << "http://ads.example/x?id=1" << true;
    QTest::newRow("https") << "https://ads.example/" << true;
    QTest::newRow("upper-case scheme") << "HTTPS://ads.example/" << true;
    QTest::newRow("file") << "file:///etc/passwd" << false;
    QTest::newRow("javascript") << "javascript:alert(1)" << false;
    QTest::newRow("mailto") << "mailto:ads@example.com" << false;
    QTest::newRow("custom scheme") << "tumblox://cheat" << false;
    QTest::newRow("http without host") << "http:///x" << false;
    QTest::newRow("relative") << "/landing" << false;
    QTest::newRow("empty") << "" << false;
}

void TestInnerActiveAdDialog::onlyWebLinksOpen()
{
    QFETCH(QString, link);
    QFETCH(bool, opens);

    DialogSetup setup;
    setup.link = link;
    auto clicked = makeDialog(setup);
    button(*clicked, "btnRight")->click();
    auto tapped = makeDialog(setup);
    QTest::keyClick(tapped->findChild<InnerActiveAdWidget *>(), Qt::Key_Select);

    // Following the ad accepts either way; only the desktop hand-off is withheld.
    QCOMPARE(clicked->result(), int(QDialog::Accepted));
    QCOMPARE(tapped->result(), int(QDialog::Accepted));
    QCOMPARE(opened.size(), opens ? 2 : 0);
}

QTEST_MAIN(TestInnerActiveAdDialog)
#include "tst_inneractiveaddialog.moc"
