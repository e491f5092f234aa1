// SPDX-FileCopyrightText: 2026 The Tumblox developers
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

// Every scheme an ad could carry lands in the recorder instead of on the desktop.
const QStringList Schemes = {"http", "https", "file", "javascript", "tumblox"};

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
T *child(const QDialog &dialog, const char *name = nullptr)
{
    return dialog.findChild<T *>(QLatin1String(name));
}

QString countdown(const QDialog &dialog)
{
    return child<QLabel>(dialog, "labelSkip")->text();
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
    for (const QString &scheme : Schemes)
        QDesktopServices::setUrlHandler(scheme, this, "record");
}

void TestInnerActiveAdDialog::countdownRunsOut()
{
    auto dialog = makeDialog(3);
    QCOMPARE(countdown(*dialog), "<b>Skip in 3</b>");

    // Connected after the dialog's own slot, so each entry is one step's outcome.
    QStringList steps;
    connect(child<QTimer>(*dialog), &QTimer::timeout, this,
            [&] { steps << (dialog->isVisible() ? countdown(*dialog) : "closed"); });
    QCOMPARE(dialog->exec(), int(QDialog::Rejected));
    QCOMPARE(steps, QStringList({"<b>Skip in 2</b>", "<b>Skip in 1</b>", "closed"}));
    QVERIFY(opened.isEmpty());
}

void TestInnerActiveAdDialog::skipInFirstSecond()
{
    auto dialog = makeDialog(2);
    QSignalSpy finished(dialog.get(), &QDialog::finished);
    dialog->open();
    child<QPushButton>(*dialog, "btnLeft")->click();
    QCOMPARE(finished, QList<QVariantList>{{int(QDialog::Rejected)}});

    // A countdown step left running would close the dialog a second time.
    QVERIFY(!finished.wait(1500));
    QCOMPARE(countdown(*dialog), "<b>Skip in 2</b>");
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
        QVERIFY(!child<QTimer>(*dialog)->isActive());
    }
}

void TestInnerActiveAdDialog::bannerActivation_data()
{
    QTest::addColumn<int>("key"); // 0: a tap on the image
    QTest::newRow("tap") << 0;
    QTest::newRow("Select") << int(Qt::Key_Select);
    QTest::newRow("keypad Enter") << int(Qt::Key_Enter);
}

void TestInnerActiveAdDialog::bannerActivation()
{
    QFETCH(int, key);
    auto dialog = makeDialog(10);
    auto *banner = child<InnerActiveAdWidget>(*dialog);
    dialog->open();
    QVERIFY(QTest::qWaitForWindowActive(dialog.get()));
    QCOMPARE(QApplication::focusWidget(), banner);

    // Keys go through the window, so they reach whatever really has the focus.
    if (key)
        QTest::keyClick(dialog->windowHandle(), Qt::Key(key), Qt::KeypadModifier);
    else
        QTest::mouseClick(banner->findChild<QLabel *>("lblAdImageCtrl"), Qt::LeftButton);
    QCOMPARE(dialog->result(), int(QDialog::Accepted));
    QCOMPARE(opened, QList<QUrl>{QUrl(AdLink)});
    QVERIFY(!child<QTimer>(*dialog)->isActive());
}

void TestInnerActiveAdDialog::onlyWebLinksOpen_data()
{
    QTest::addColumn<QString>("link");
    QTest::addColumn<bool>("opens");
    QTest::newRow("http") << "http://ads.example/x?id=1" << true;
    QTest::newRow("upper-case https") << "HTTPS://ads.example/" << true;
    QTest::newRow("file") << "file:///etc/passwd" << false;
    QTest::newRow("javascript") << "javascript:alert(1)" << false;
    QTest::newRow("custom scheme") << "tumblox://cheat" << false;
    QTest::newRow("no host") << "http:///x" << false;
    QTest::newRow("empty") << "" << false;
}

void TestInnerActiveAdDialog::onlyWebLinksOpen()
{
    QFETCH(QString, link);
    QFETCH(bool, opens);
    auto clicked = makeDialog(10, link);
    child<QPushButton>(*clicked, "btnRight")->click();
    auto tapped = makeDialog(10, link);
    QTest::keyClick(child<InnerActiveAdWidget>(*tapped), Qt::Key_Select);

    // Following the ad accepts either way; only the hand-off to the desktop is withheld.
    QCOMPARE(clicked->result(), int(QDialog::Accepted));
    QCOMPARE(tapped->result(), int(QDialog::Accepted));
    QCOMPARE(opened.size(), opens ? 2 : 0);
}

QTEST_MAIN(TestInnerActiveAdDialog)
#include "tst_inneractiveaddialog.moc"
