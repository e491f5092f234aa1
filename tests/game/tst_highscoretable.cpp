// SPDX-FileCopyrightText: 2026 The Tumblox developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "highscoretable.h"

#include <QDir>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

// Every name in a folder with what it holds; a socket reads as empty.
QMap<QString, QByteArray> snapshot(const QString &directory)
{
    QMap<QString, QByteArray> files;
    for (const QString &name : QDir(directory).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System)) {
        QFile file(directory + '/' + name);
        files[name] = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    return files;
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// A socket cannot be opened for reading, even by root, yet a rename replaces it.
bool makeSocket(const QString &path)
{
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray name = QFile::encodeName(path);
    qstrncpy(address.sun_path, name.constData(), sizeof address.sun_path);
    const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
    const bool bound = size_t(name.size()) < sizeof address.sun_path
        && bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0;
    close(fd);
    return bound;
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

} // namespace

class TestHighScoreTable : public QObject
{
    Q_OBJECT

private slots:
    void record_data();
    void record();
    void failureKeepsTheTable_data();
    void failureKeepsTheTable();
    void chooseDirectory_data();
    void chooseDirectory();
    void gameOverText_data();
    void gameOverText();
};

void TestHighScoreTable::record_data()
{
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<int>("result");
    QTest::addColumn<QStringList>("list");
    QTest::addColumn<QByteArray>("written");

    const QStringList ten = descending(100, 10);
    const QStringList fifteen = descending(150, 15);
    QStringList fifteenWith75 = fifteen;
    fifteenWith75.insert(8, "75");
    QTest::newRow("first game") << QByteArray() << 120 << QStringList{"120"} << QByteArray("120\n");
    QTest::newRow("equal goes behind") << QByteArray("50\n40\n30\n") << 40 << QStringList{"50", "40", "40", "30"} << QByteArray("50\n40\n40\n30\n");
    QTest::newRow("before first smaller") << QByteArray("50\n40\n30\n") << 45 << QStringList{"50", "45", "40", "30"} << QByteArray("50\n45\n40\n30\n");
    QTest::newRow("ten above") << fileOf(ten) << 5 << ten + QStringList{"5"} << fileOf(ten);
    QTest::newRow("fifteen hand-written") << fileOf(fifteen) << 75 << fifteenWith75 << fileOf(fifteenWith75.mid(0, 10));
    QTest::newRow("leading zeros") << QByteArray("007\n") << 7 << QStringList{"007", "7"} << QByteArray("007\n7\n");
    QTest::newRow("empty and non-numeric") << QByteArray("50\n\nabc\n30\n") << 20 << QStringList{"50", "20", "", "abc", "30"} << QByteArray("50\n20\n\nabc\n30\n");
    QTest::newRow("CRLF") << QByteArray("50\r\n40\r\r\n") << 45 << QStringList{"50", "45", "40"} << QByteArray("50\n45\n40\n");
    QTest::newRow("BOM, no last line feed") << QByteArray("\xEF\xBB\xBF" "50\n40") << 45 << QStringList{"50", "45", "40"} << QByteArray("50\n45\n40\n");
    QTest::newRow("UTF-8 text kept") << QByteArray("p\xC3\xA4iv\xC3\xA4\n") << 3 << QStringList{"3", QString::fromUtf8("p\xC3\xA4iv\xC3\xA4")} << QByteArray("3\np\xC3\xA4iv\xC3\xA4\n");
}

void TestHighScoreTable::record()
{
    QFETCH(QByteArray, stored);
    QFETCH(int, result);
    QTemporaryDir dir;
    const QString path = dir.filePath("highscores_score.txt");
    QVERIFY(stored.isEmpty() || writeFile(path, stored));
    QTest::failOnWarning(QRegularExpression(".*"));
    QTEST(HighScoreTable(dir.path()).record("score", result), "list");
    QFETCH(QByteArray, written);
    QCOMPARE(snapshot(dir.path()), (QMap<QString, QByteArray>{{"highscores_score.txt", written}}));
}

void TestHighScoreTable::failureKeepsTheTable_data()
{
    QTest::addColumn<QString>("failure");
    QTest::addColumn<QString>("warning");
    QTest::addColumn<QStringList>("list");
    QTest::newRow("unreadable file") << "socket" << "cannot read" << QStringList{"30"};
    QTest::newRow("unwritable folder") << "blocker/sub" << "cannot save" << QStringList{"30"};
    QTest::newRow("disk full") << "limit" << "cannot save" << QStringList{"100", "30", QString(1 << 20, u'x')};
}

// Nothing stored is lost, and the player still sees this game's result.
void TestHighScoreTable::failureKeepsTheTable()
{
    QFETCH(QString, failure);
    QTemporaryDir dir;
    const QString path = dir.filePath("highscores_score.txt");
    QVERIFY(failure == "socket" ? makeSocket(path) : writeFile(path, "100\n" + QByteArray(1 << 20, 'x') + '\n'));
    QVERIFY(writeFile(dir.filePath("blocker"), "keep"));
    const auto before = snapshot(dir.path());

    // A file-size limit below the new table stands in for a disk filling up mid-write.
    rlimit saved{};
    QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit limited{64 * 1024, saved.rlim_max};
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    QCOMPARE(setrlimit(RLIMIT_FSIZE, failure == "limit" ? &limited : &saved), 0);
    QFETCH(QString, warning);
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(warning));
    const QStringList list = HighScoreTable(failure == "blocker/sub" ? dir.filePath(failure) : dir.path()).record("score", 30);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);

    QTEST(list, "list");
    QCOMPARE(snapshot(dir.path()), before);
    QCOMPARE(QFileInfo(path).isFile(), failure != "socket");
}

void TestHighScoreTable::chooseDirectory_data()
{
    QTest::addColumn<QString>("program");
    QTest::addColumn<bool>("beside");
    QTest::newRow("writable program folder") << "bin" << true;
    QTest::newRow("unwritable program folder") << "blocker/bin" << false;
}

// An installed game keeps its tables in the user's data folder.
void TestHighScoreTable::chooseDirectory()
{
    QFETCH(QString, program);
    QFETCH(bool, beside);
    QTemporaryDir dir;
    qputenv("HOME", QFile::encodeName(dir.path()));
    QStandardPaths::setTestModeEnabled(true);
    QVERIFY(writeFile(dir.filePath("blocker"), "") && QDir().mkpath(dir.filePath("bin")));
    const QString dataLocation = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    QVERIFY(dataLocation.startsWith(dir.path()));

    const QString chosen = HighScoreTable::chooseDirectory(dir.filePath(program));
    QCOMPARE(chosen, beside ? dir.filePath(program) : dataLocation);
    QVERIFY(QFileInfo(chosen).isDir());
    QCOMPARE(QDir(dir.filePath("bin")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), QStringList());
}

void TestHighScoreTable::gameOverText_data()
{
    QTest::addColumn<QString>("mode");
    QTest::addColumn<int>("result");
    QTest::addColumn<QStringList>("list");
    QTest::addColumn<QString>("text");
    const QString score = "Game Over!\n Top 10 scores \"SCORE\":\n";
    QTest::newRow("twelve show ten, eleventh unmarked") << "score" << 20 << descending(120, 12) << score + fileOf(descending(120, 10));
    QTest::newRow("two equal mark the first") << "score" << 40 << QStringList{"50", "40", "40"} << score + "50\n--- 40 --- \n40\n";
    QTest::newRow("text match only") << "timer" << 7 << QStringList{"007", "7"} << "Game Over!\n Top 10 scores \"TIMER\":\n007\n--- 7 --- \n";
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
