// SPDX-FileCopyrightText: 2026 The Tumblox developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "filebytes.h"
#include "highscoretable.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

namespace {

constexpr int Kills = 40;

// Nine entries padded with leading zeros, so a kill has a long write to land
// in, above a last line that each record replaces with the next generation.
QByteArray tableOf(int generation)
{
    QByteArray bytes;
    for (int i = 0; i < HighScoreTable::MaxEntries - 1; ++i)
        bytes += QByteArray(64 * 1024, '0') + QByteArray::number(2000000000 - i) + '\n';
    return bytes + QByteArray::number(generation) + '\n';
}

// The generation a file holds, or -1 when it is no table the writer wrote.
int generationOf(const QString &path)
{
    const QByteArray bytes = readFile(path);
    const int generation = bytes.mid(bytes.lastIndexOf('\n', -2) + 1).trimmed().toInt();
    return bytes == tableOf(generation) ? generation : -1;
}

// Unbuffered, so the parent sees the line even when the kill follows.
void say(const char *what, int generation)
{
    const QByteArray text = what + QByteArray::number(generation) + '\n';
    if (::write(STDOUT_FILENO, text.constData(), size_t(text.size())) < 0)
        std::abort();
}

int runWriter(const QString &directory)
{
    const HighScoreTable table(directory);
    for (int generation = generationOf(table.filePath(QStringLiteral("lines"))) + 1;; ++generation) {
        say("begin ", generation);
        table.record(QStringLiteral("lines"), generation);
        say("end ", generation);
    }
}

} // namespace

class TestHighScoreTable : public QObject
{
    Q_OBJECT

private slots:
    void record_data();
    void record();
    void unreadableTableIsKept();
    void chooseDirectory();
    void killDuringSave();
};

void TestHighScoreTable::record_data()
{
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<int>("result");
    QTest::addColumn<QStringList>("list");
    QTest::addColumn<QByteArray>("written");

    const QByteArray ten = "100\n90\n80\n70\n60\n50\n40\n30\n20\n10\n";
    QTest::newRow("first game") << QByteArray() << 120 << QStringList{"120"} << QByteArray("120\n");
    QTest::newRow("ten above") << ten << 5 << QString(ten + "5").split(u'\n') << ten;
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
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"highscores_score.txt"});
    QTEST(readFile(path), "written");
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

// A game killed while it saves leaves the old table or the new one, never a
// mix: a child (this binary) records in a loop and is killed at random moments.
// TUMBLOX_KILL_SEED replays a run's moments, counted in saves.
void TestHighScoreTable::killDuringSave()
{
    QTemporaryDir dir;
    const QString path = HighScoreTable(dir.path()).filePath(QStringLiteral("lines"));
    QVERIFY(writeFile(path, tableOf(0)));

    const QByteArray given = qgetenv("TUMBLOX_KILL_SEED");
    const quint32 seed = given.isEmpty() ? QRandomGenerator::global()->generate() : given.toUInt();
    qInfo("kill moments from TUMBLOX_KILL_SEED=%u", seed);
    QRandomGenerator random(seed);
    QElapsedTimer clock;
    int saveMs = 0;
    int committed = 0;
    int killsMidSave = 0;
    // The first run measures a save, to spread the kills over a few saves.
    for (int kill = -1; kill < Kills; ++kill) {
        QProcess writer;
        writer.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        writer.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--writer"), dir.path()});
        QVERIFY(writer.waitForReadyRead(10000));
        clock.start();
        QByteArray output = writer.readAllStandardOutput();
        if (kill < 0) {
            while (output.count("end") < 3 && writer.waitForReadyRead(10000))
                output += writer.readAllStandardOutput();
            saveMs = int(clock.elapsed() / 3) + 1;
        } else {
            QVERIFY(!writer.waitForFinished(int(random.bounded(3 * saveMs))));
        }
        writer.kill();
        QVERIFY(writer.waitForFinished());
        const QList<QByteArray> last = (output + writer.readAllStandardOutput()).trimmed().split('\n').constLast().split(' ');
        const int started = last.value(1).toInt();
        const bool midSave = last.at(0) == "begin";
        killsMidSave += midSave && kill >= 0;

        const int found = generationOf(path);
        QVERIFY2(found == started || (midSave && found == started - 1), qPrintable(QString::number(found)));
        committed = found;
    }
    // Kills that all land between saves prove nothing.
    QVERIFY(killsMidSave > Kills / 4);
    QVERIFY(committed > Kills / 4);
}

int main(int argc, char *argv[])
{
    if (argc > 2 && qstrcmp(argv[1], "--writer") == 0)
        return runWriter(QString::fromLocal8Bit(argv[2]));
    QCoreApplication app(argc, argv);
    TestHighScoreTable test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_highscoretable.moc"
