// SPDX-FileCopyrightText: 2026 The Tumblox developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The game's sound where none can be had: silent, one warning line, no
// dialog; and the mute outlives the program.
#include "filebytes.h"
#include "gamesounds.h"

#include <QApplication>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>

class TestGameSounds : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void silentWithOneWarning_data();
    void silentWithOneWarning();
    void muteSurvivesARestart();
    void loadsAfterTheFirstPaint();

private:
    QTemporaryDir home;
};

void TestGameSounds::initTestCase()
{
    QVERIFY(home.isValid());
    // The settings file goes here, and no sound server answers here.
    qputenv("HOME", QFile::encodeName(home.path()));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.path()));
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(home.path()));
    qputenv("PULSE_SERVER", "unix:" + QFile::encodeName(home.filePath(QStringLiteral("no-server"))));
}

void TestGameSounds::silentWithOneWarning_data()
{
    QTest::addColumn<QString>("module");
    QTest::addColumn<QString>("warning");
    QTest::newRow("no sound server") << QStringLiteral(TUMBLOX_SOUND_MODULE_PATH)
                                     << "^Sound: no audio output found; the game goes on silently$";
    QTest::newRow("no sound module") << home.filePath(QStringLiteral("missing.so"))
                                     << "^Sound: .*missing\\.so.*; the game goes on silently$";
}

void TestGameSounds::silentWithOneWarning()
{
    QFETCH(QString, module);
    QFETCH(QString, warning);
    QTest::failOnWarning(QRegularExpression(QStringLiteral(".")));
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(warning));
    GameSounds sounds(nullptr, module);
    sounds.load();
    for (int cue = 0; cue < GameCues::CueCount; ++cue)
        sounds.play(GameCues::Cue(cue));
    sounds.load();
    QVERIFY(QApplication::topLevelWidgets().isEmpty());
}

// Kept in the settings file that holds the ad client's id, in a group of its own.
void TestGameSounds::muteSurvivesARestart()
{
    const QString noModule = home.filePath(QStringLiteral("missing.so"));
    GameSounds(nullptr, noModule).setMuted(true);
    QVERIFY(readFile(home.filePath(QStringLiteral("InnerActive/Quillo_Tumblox_QT.conf"))).contains("[sound]\nmuted=true\n"));
    GameSounds restarted(nullptr, noModule);
    QVERIFY(restarted.isMuted());
    restarted.setMuted(false);
    QVERIFY(!GameSounds(nullptr, noModule).isMuted());
}

// So that the first frame does not wait for the multimedia libraries.
void TestGameSounds::loadsAfterTheFirstPaint()
{
    QTest::ignoreMessage(QtWarningMsg, "Sound: no audio output found; the game goes on silently");
    GameSounds sounds(nullptr, QStringLiteral(TUMBLOX_SOUND_MODULE_PATH));
    QWidget window;
    QCoreApplication::processEvents();
    QVERIFY(sounds.children().isEmpty());
    window.show();
    QTRY_VERIFY(!sounds.children().isEmpty());
}

QTEST_MAIN(TestGameSounds)
#include "tst_gamesounds.moc"
