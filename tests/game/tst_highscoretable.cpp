// SPDX-FileCopyrightText: 2026 The Tumblox developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "filebytes.h"
#include "highscoretable.h"

#include <QDir>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

class TestHighScoreTable : public QObject
{
    Q_OBJECT

private slots:
    void record_data();
    void record();
    void unreadableTableIsKept();
    void chooseDirectory();
};

void TestHighScoreTable::record_data()
{
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<int>("result");
    QTest::addColumn<QStringList>("list");
    QTest::addColumn<QByteArray>("written");

    // Full tables, line ends, byte order marks and junk: the fuzz seeds, replayed through a model of the rule.
    QTest::newRow("first game") << QByteArray() << 120 << QStringList{"120"} << QByteArray("120\n");
    QTest::newRow("UTF-8 text kept") << QByteArray("p\xC3\xA4iv\xC3\xA4\n") << 3 << QStringList{"3", QString::fromUtf8("p\xC3\xA4iv\xC3\xA4")} << QByteArray("3\np\xC3\xA4iv\xC3\xA4\n");
}

// Saved as a new file renamed over the old one, never written in place, so a
// game killed while it saves leaves the old table or the new one.
void TestHighScoreTable::record()
{
    QFETCH(QByteArray, stored);
    QFETCH(int, result);
    QTemporaryDir dir, elsewhere;
    const QString path = dir.filePath("highscores_score.txt");
    const QString old = elsewhere.filePath("old");
    QVERIFY(stored.isEmpty() || (writeFile(path, stored) && ::link(QFile::encodeName(path), QFile::encodeName(old)) == 0));
    QTest::failOnWarning(QRegularExpression(".*"));
    QTEST(HighScoreTable(dir.path()).record("score", result), "list");
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"highscores_score.txt"});
    QTEST(readFile(path), "written");
    QCOMPARE(readFile(old), stored);
}

// A table that cannot be read is kept, and the player still sees this game's result.
void TestHighScoreTable::unreadableTableIsKept()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("highscores_score.txt");
    QVERIFY(QDir().mkdir(path));
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("cannot read"));
    QTest::failOnWarning(QRegularExpression(".*"));
    QCOMPARE(HighScoreTable(dir.path()).record("score", 30), QStringList{"30"});
    QVERIFY(QFileInfo(path).isDir());
}

// An installed game keeps its tables in the user's data folder.
void TestHighScoreTable::chooseDirectory()
{
    QTemporaryDir dir;
    qputenv("HOME", QFile::encodeName(dir.path()));
    QStandardPaths::setTestModeEnabled(true);
    QVERIFY(writeFile(dir.filePath("blocker"), "") && QDir().mkpath(dir.filePath("bin")));
    const QString dataLocation = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    QVERIFY(dataLocation.startsWith(dir.path()));

    QCOMPARE(HighScoreTable::chooseDirectory(dir.filePath("bin")), dir.filePath("bin"));
    QCOMPARE(HighScoreTable::chooseDirectory(dir.filePath("blocker/bin")), dataLocation);
    QVERIFY(QFileInfo(dataLocation).isDir());
    QCOMPARE(QDir(dir.filePath("bin")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), QStringList());
}

QTEST_GUILESS_MAIN(TestHighScoreTable)
#include "tst_highscoretable.moc"
