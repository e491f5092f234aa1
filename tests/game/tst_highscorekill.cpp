// SPDX-FileCopyrightText: 2026 The Tumblox developers
// SPDX-License-Identifier: GPL-3.0-or-later
// A game killed while it saves a high-score table leaves the old table or
// the new one, never a mix. A child (this binary, re-invoked) records results
// in a loop; the test kills it with SIGKILL at random moments and reads the
// file after each kill.
#include "highscoretable.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>
#include <cstring>
#include <unistd.h>

namespace {

const char WriterArgument[] = "--writer";
const QString Mode = QStringLiteral("lines");
constexpr int PaddedEntries = HighScoreTable::MaxEntries - 1;
// Leading zeros keep the value and make each save some megabytes, so a
// kill has a write to land in.
constexpr int PaddingDigits = 64 * 1024;
constexpr int Kills = 40;

// The nine stored entries above every result the writer records; the tenth
// line is the writer's generation, which each record replaces with the next.
QByteArray paddedEntries()
{
    QByteArray bytes;
    for (int i = 0; i < PaddedEntries; ++i)
        bytes += QByteArray(PaddingDigits, '0') + QByteArray::number(2000000000 - i) + '\n';
    return bytes;
}

QByteArray tableOf(int generation)
{
    return paddedEntries() + QByteArray::number(generation) + '\n';
}

// The generation a file holds, or -1 when it is no table the writer wrote.
int generationOf(const QByteArray &bytes)
{
    static const QByteArray padded = paddedEntries();
    if (!bytes.startsWith(padded) || !bytes.endsWith('\n'))
        return -1;
    const QByteArray last = bytes.mid(padded.size()).chopped(1);
    bool ok = false;
    const int generation = last.toInt(&ok);
    return ok && QByteArray::number(generation) == last ? generation : -1;
}

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

void say(const QByteArray &line)
{
    // Unbuffered, so the parent sees the line even when the kill follows.
    const QByteArray text = line + '\n';
    if (::write(STDOUT_FILENO, text.constData(), size_t(text.size())) < 0)
        std::abort();
}

// The child: records the next generation, forever. Each record reads the
// table, merges the result in as tenth entry and saves the whole table.
int runWriter(const QString &directory)
{
    const HighScoreTable table(directory);
    int generation = generationOf(readAll(table.filePath(Mode)));
    if (generation < 0)
        return 2;
    for (;;) {
        ++generation;
        say("begin " + QByteArray::number(generation));
        table.record(Mode, generation);
        say("end " + QByteArray::number(generation));
    }
}

} // namespace

class TestHighScoreKill : public QObject
{
    Q_OBJECT

private slots:
    void killDuringSave();
};

void TestHighScoreKill::killDuringSave()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = HighScoreTable(dir.path()).filePath(Mode);
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QVERIFY(file.write(tableOf(0)) > 0);
    }

    // Kill moments spread over a few saves' time, measured here.
    int saveMs = 0;
    {
        QProcess writer;
        writer.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        writer.start(QCoreApplication::applicationFilePath(), { QLatin1String(WriterArgument), dir.path() });
        QElapsedTimer clock;
        clock.start();
        QByteArray output;
        while (output.count("end") < 3 && writer.waitForReadyRead(10000))
            output += writer.readAllStandardOutput();
        saveMs = int(clock.elapsed() / 3) + 1;
        writer.kill();
        QVERIFY(writer.waitForFinished());
        QVERIFY(output.count("end") >= 3);
    }

    QRandomGenerator random(QRandomGenerator::global()->generate());
    int committed = generationOf(readAll(path));
    int killsMidSave = 0;
    for (int kill = 0; kill < Kills; ++kill) {
        QProcess writer;
        writer.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        writer.start(QCoreApplication::applicationFilePath(), { QLatin1String(WriterArgument), dir.path() });
        QVERIFY(writer.waitForStarted());
        // The random moment counts from the first save on, so start-up
        // does not swallow it.
        QVERIFY(writer.waitForReadyRead(10000));
        QVERIFY(!writer.waitForFinished(int(random.bounded(3 * saveMs))));
        writer.kill();
        QVERIFY(writer.waitForFinished());

        QList<QByteArray> lines = writer.readAllStandardOutput().split('\n');
        lines.removeAll(QByteArray());
        QVERIFY(!lines.isEmpty());
        const QList<QByteArray> last = lines.constLast().split(' ');
        const int started = last.at(1).toInt();
        const bool midSave = last.at(0) == "begin";
        killsMidSave += midSave;

        const int found = generationOf(readAll(path));
        if (found < 0)
            QFAIL(qPrintable(QStringLiteral("kill %1: the table is no whole table (%2 bytes)")
                                 .arg(kill)
                                 .arg(QFileInfo(path).size())));
        // Killed during a save: the one before or this one; after it: this one.
        if (midSave)
            QVERIFY2(found == started - 1 || found == started, qPrintable(QString::number(found)));
        else
            QCOMPARE(found, started);
        QVERIFY(found >= committed);
        committed = found;
    }
    // A kill between linking the finished file and renaming it over the
    // table leaves the file under a temporary name: litter, but never a part.
    const QStringList files = QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System);
    QVERIFY(files.contains(HighScoreTable::fileName(Mode)));
    for (const QString &name : files) {
        QVERIFY2(name.startsWith(HighScoreTable::fileName(Mode)), qPrintable(name));
        QVERIFY2(generationOf(readAll(dir.filePath(name))) > 0 || name == HighScoreTable::fileName(Mode),
                 qPrintable(name));
        if (name != HighScoreTable::fileName(Mode))
            qInfo("left behind: %s", qPrintable(name));
    }
    qInfo("%d kills, %d of them during a save of about %d ms; %d generations saved", Kills, killsMidSave, saveMs,
          committed);
    // Kills that all land between saves prove nothing; kills that never let
    // a save finish prove little.
    QVERIFY(killsMidSave > Kills / 4);
    QVERIFY(committed > Kills / 4);
}

int main(int argc, char *argv[])
{
    if (argc > 2 && std::strcmp(argv[1], WriterArgument) == 0)
        return runWriter(QString::fromLocal8Bit(argv[2]));
    QCoreApplication app(argc, argv);
    TestHighScoreKill test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_highscorekill.moc"
