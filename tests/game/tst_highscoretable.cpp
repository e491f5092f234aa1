// SPDX-FileCopyrightText: 2026 The Tumblox developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "highscoretable.h"

#include <QDir>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <cstring>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

const auto Everything = QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System;

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray fileOf(const QStringList &entries)
{
    return entries.join(u'\n').toUtf8() + '\n';
}

QStringList descending(int top, int count)
{
    QStringList entries;
    for (int i = 0; i < count; ++i)
        entries << QString::number(top - 10 * i);
    return entries;
}

// A socket cannot be opened for reading, even by root, yet a rename replaces it.
bool makeSocket(const QString &path)
{
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray name = QFile::encodeName(path);
    if (size_t(name.size()) >= sizeof address.sun_path)
        return false;
    std::memcpy(address.sun_path, name.constData(), name.size());
    const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
    const bool bound = fd >= 0 && bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0;
    if (fd >= 0)
        close(fd);
    return bound;
}

int markedEntry(const QString &gameOverText)
{
    const QStringList entries = gameOverText.split(u'\n').mid(2);
    for (int i = 0; i < entries.size(); ++i) {
        if (entries.at(i).startsWith(QLatin1String("--- ")))
            return i;
    }
    return -1;
}

} // namespace

class TestHighScoreTable : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void record_data();
    void record();
    void unreadableFileIsKept();
    void unwritableDirectoryWritesNothing();
    void failedWriteKeepsOldTable();
    void chooseDirectory_data();
    void chooseDirectory();
    void gameOverText_data();
    void gameOverText();

private:
    QTemporaryDir home;
};

void TestHighScoreTable::initTestCase()
{
    QVERIFY(home.isValid());
    qputenv("HOME", QFile::encodeName(home.path()));
    QStandardPaths::setTestModeEnabled(true);
}

void TestHighScoreTable::record_data()
{
    QTest::addColumn<bool>("exists");
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<int>("result");
    QTest::addColumn<QStringList>("list");
    QTest::addColumn<QByteArray>("written");
    QTest::addColumn<int>("marked");

    const QStringList ten = descending(100, 10);
    const QStringList fifteen = descending(150, 15);
    QStringList fifteenWith75 = fifteen;
    fifteenWith75.insert(8, "75");

    QTest::newRow("first game") << false << QByteArray() << 120 << QStringList{"120"} << QByteArray("120\n") << 0;
    QTest::newRow("empty file") << true << QByteArray() << 120 << QStringList{"120"} << QByteArray("120\n") << 0;
    QTest::newRow("equal goes behind") << true << QByteArray("50\n40\n30\n") << 40 << QStringList{"50", "40", "40", "30"} << QByteArray("50\n40\n40\n30\n") << 1;
    QTest::newRow("before first smaller") << true << QByteArray("50\n40\n30\n") << 45 << QStringList{"50", "45", "40", "30"} << QByteArray("50\n45\n40\n30\n") << 1;
    QTest::newRow("ten above") << true << fileOf(ten) << 5 << ten + QStringList{"5"} << fileOf(ten) << -1;
    QTest::newRow("tenth equal") << true << fileOf(ten) << 10 << ten + QStringList{"10"} << fileOf(ten) << 9;
    QTest::newRow("leading zeros") << true << QByteArray("007\n") << 7 << QStringList{"007", "7"} << QByteArray("007\n7\n") << 1;
    QTest::newRow("fifteen hand-written") << true << fileOf(fifteen) << 75 << fifteenWith75 << fileOf(fifteenWith75.mid(0, 10)) << 8;
    QTest::newRow("empty and non-numeric") << true << QByteArray("50\n\nabc\n30\n") << 20 << QStringList{"50", "20", "", "abc", "30"} << QByteArray("50\n20\n\nabc\n30\n") << 1;
    QTest::newRow("CRLF") << true << QByteArray("50\r\n40\r\r\n") << 45 << QStringList{"50", "45", "40"} << QByteArray("50\n45\n40\n") << 1;
    QTest::newRow("BOM, no last line feed") << true << QByteArray("\xEF\xBB\xBF" "50\n40") << 45 << QStringList{"50", "45", "40"} << QByteArray("50\n45\n40\n") << 1;
    QTest::newRow("zero goes last") << true << QByteArray("10\n0\n") << 0 << QStringList{"10", "0", "0"} << QByteArray("10\n0\n0\n") << 1;
    QTest::newRow("UTF-8 text kept") << true << QByteArray("p\xC3\xA4iv\xC3\xA4\n") << 3 << QStringList{"3", QString::fromUtf8("p\xC3\xA4iv\xC3\xA4")} << QByteArray("3\np\xC3\xA4iv\xC3\xA4\n") << 0;
}

void TestHighScoreTable::record()
{
    QFETCH(bool, exists);
    QFETCH(QByteArray, stored);
    QFETCH(int, result);
    QTemporaryDir dir;
    const QString path = dir.filePath("highscores_score.txt");
    if (exists)
        QVERIFY(writeFile(path, stored));

    QTest::failOnWarning(QRegularExpression(".*"));
    const QStringList list = HighScoreTable(dir.path()).record("score", result);

    QTEST(list, "list");
    QTEST(readFile(path), "written");
    QTEST(markedEntry(HighScoreTable::gameOverText("score", result, list)), "marked");
    QCOMPARE(QDir(dir.path()).entryList(Everything), QStringList{"highscores_score.txt"});
}

void TestHighScoreTable::unreadableFileIsKept()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("highscores_lines.txt");
    QVERIFY(makeSocket(path));

    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("cannot read"));
    QCOMPARE(HighScoreTable(dir.path()).record("lines", 9), QStringList{"9"});

    QVERIFY(!QFileInfo(path).isFile());
    QCOMPARE(QDir(dir.path()).entryList(Everything), QStringList{"highscores_lines.txt"});
}

void TestHighScoreTable::unwritableDirectoryWritesNothing()
{
    QTemporaryDir dir;
    QVERIFY(writeFile(dir.filePath("blocker"), "keep"));

    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("cannot save"));
    QCOMPARE(HighScoreTable(dir.filePath("blocker/sub")).record("timer", 30), QStringList{"30"});

    QCOMPARE(readFile(dir.filePath("blocker")), QByteArray("keep"));
    QCOMPARE(QDir(dir.path()).entryList(Everything), QStringList{"blocker"});
}

void TestHighScoreTable::failedWriteKeepsOldTable()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("highscores_score.txt");
    const QByteArray old = "100\n" + QByteArray(1 << 20, 'x') + '\n';
    QVERIFY(writeFile(path, old));

    // A file-size limit below the new table stands in for a disk filling up mid-write.
    rlimit saved{};
    QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit limited = saved;
    limited.rlim_cur = 64 * 1024;
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &limited), 0);
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("cannot save"));
    const QStringList list = HighScoreTable(dir.path()).record("score", 50);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);

    QCOMPARE(list.mid(0, 2), (QStringList{"100", "50"}));
    QCOMPARE(readFile(path), old);
    QCOMPARE(QDir(dir.path()).entryList(Everything), QStringList{"highscores_score.txt"});
}

void TestHighScoreTable::chooseDirectory_data()
{
    QTest::addColumn<QString>("program");
    QTest::addColumn<bool>("beside");
    QTest::newRow("writable program directory") << "bin" << true;
    QTest::newRow("unwritable program directory") << "blocker/bin" << false;
}

void TestHighScoreTable::chooseDirectory()
{
    QFETCH(QString, program);
    QFETCH(bool, beside);
    QTemporaryDir dir;
    QVERIFY(writeFile(dir.filePath("blocker"), ""));
    QVERIFY(QDir().mkpath(dir.filePath("bin")));
    program = dir.filePath(program);
    const QString dataLocation = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    QVERIFY(dataLocation.startsWith(home.path()));

    const QString chosen = HighScoreTable::chooseDirectory(program);

    QCOMPARE(chosen, beside ? program : dataLocation);
    QVERIFY(QFileInfo(chosen).isDir());
    QCOMPARE(QDir(dir.filePath("bin")).entryList(Everything), QStringList());
}

void TestHighScoreTable::gameOverText_data()
{
    QTest::addColumn<QString>("mode");
    QTest::addColumn<int>("result");
    QTest::addColumn<QStringList>("list");
    QTest::addColumn<QString>("text");

    const QString score = "Game Over!\n Top 10 scores \"SCORE\":\n";
    QTest::newRow("twelve show ten, eleventh unmarked") << "score" << 20 << descending(120, 12) << score + descending(120, 10).join(u'\n') + '\n';
    QTest::newRow("two equal mark the first") << "score" << 40 << QStringList{"50", "40", "40"} << score + "50\n--- 40 --- \n40\n";
    QTest::newRow("text match only") << "timer" << 7 << QStringList{"007", "7"} << "Game Over!\n Top 10 scores \"TIMER\":\n007\n--- 7 --- \n";
    QTest::newRow("empty list") << "lines" << 0 << QStringList() << "Game Over!\n Top 10 scores \"LINES\":\n";
    QTest::newRow("no mode yet") << "" << 0 << QStringList() << "Game Over!\n Top 10 scores \"\":\n";
}

void TestHighScoreTable::gameOverText()
{
    QFETCH(QString, mode);
    QFETCH(int, result);
    QFETCH(QStringList, list);
    QTEST(HighScoreTable::gameOverText(mode, result, list), "text");
}

QTEST_GUILESS_MAIN(TestHighScoreTable)
#include "tst_highscoretable.moc"
