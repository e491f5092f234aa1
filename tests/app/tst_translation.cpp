// SPDX-FileCopyrightText: 2026 The Tumblox developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "blockdropwindow.h"
#include "translation.h"

#include <QPushButton>
#include <QTranslator>
#include <QtTest>

// The window speaks the player's language where a translation fits and
// English everywhere else.
class TestTranslation : public QObject
{
    Q_OBJECT

private slots:
    void buttons_data();
    void buttons();
    void boardTexts_data();
    void boardTexts();
};

void TestTranslation::buttons_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<bool>("translated");
    QTest::addColumn<QString>("newGame");
    QTest::addColumn<QString>("quit");
    QTest::newRow("Finnish") << "fi_FI" << true << "&Uusi peli" << "&Lopeta";
    QTest::newRow("Finnish without country") << "fi" << true << "&Uusi peli" << "&Lopeta";
    QTest::newRow("German") << "de_AT" << true << "&Neues Spiel" << "&Beenden";
    QTest::newRow("English") << "en_GB" << false << "&New Game" << "&Quit";
    QTest::newRow("no translation") << "sv_SE" << false << "&New Game" << "&Quit";
}

void TestTranslation::buttons()
{
    QFETCH(QString, locale);
    QFETCH(bool, translated);
    QFETCH(QString, newGame);
    QFETCH(QString, quit);

    QLocale::setDefault(QLocale(locale));
    QTranslator translator;
    QCOMPARE(loadTranslation(translator, QLocale()), translated);
    QCoreApplication::installTranslator(&translator);
    BlockDropWindow window;
    QCoreApplication::removeTranslator(&translator);

    QStringList texts;
    const auto buttons = window.findChildren<QPushButton *>();
    for (const QPushButton *button : buttons)
        texts << button->text();
    QVERIFY2(texts.contains(newGame), qPrintable(texts.join(", ")));
    QVERIFY(texts.contains(quit));
    QCOMPARE(window.windowTitle(), QStringLiteral("Tumblox"));
}

void TestTranslation::boardTexts_data()
{
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("finnish");
    QTest::newRow("loading") << "Loading, please wait!" << "Ladataan, odota hetki!";
    QTest::newRow("credits")
            << "Quillo / the Tumblox developers\n Tumblox \n v1.0.0 \n https://quillo.example/tumblox"
            << "Quillo / Tumbloxin kehittäjät\n Tumblox \n v1.0.0 \n https://quillo.example/tumblox";
    QTest::newRow("skip caption") << "Skip in" << "Ohitus";
}

// The board's texts are looked up in its own context, with their exact source text.
void TestTranslation::boardTexts()
{
    QFETCH(QString, source);
    QFETCH(QString, finnish);
    QTranslator translator;
    QVERIFY(loadTranslation(translator, QLocale(QStringLiteral("fi_FI"))));
    QCOMPARE(translator.translate("BlockDropBoard", source.toUtf8().constData()), finnish);
}

QTEST_MAIN(TestTranslation)
#include "tst_translation.moc"
