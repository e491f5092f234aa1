// SPDX-FileCopyrightText: 2026 The Tumblox developers
// SPDX-License-Identifier: GPL-3.0-or-later
// A game killed while it saves a high-score table leaves the old table or
// the new one, never a mix. A child (this binary, re-invoked) records results
// in a loop; the test kills it with SIGKILL at random moments and reads the
// file after each kill.
#include "highscoretable.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

namespace {

const QString Mode = QStringLiteral("lines");
constexpr int Kills = 40;

// Nine entries above every result the writer records, each padded with
// leading zeros to some kilobytes so that a kill has a write to land in; the
// tenth line is the writer's generation, which each record replaces.
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
    QFile file(path);
    const QByteArray bytes = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    const int generation = bytes.mid(bytes.lastIndexOf('\n', -2) + 1).trimmed().toInt();
    return bytes == tableOf(generation) ? generation : -1;
}

void say(const QByteArray &line)
{
    // Unbuffered, so the parent sees the line even when the kill follows.
    const QByteArray text = line + '\n';
    if (::write(STDOUT_FILENO, text.constData(), size_t(text.size())) < 0)
        std::abort();
}

// The child: records the next generation, for ever.
int runWriter(const QString &directory)
{
    const HighScoreTable table(directory);
    for (int generation = generationOf(table.filePath(Mode)) + 1;; ++generation) {
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
    const QString path = HighScoreTable(dir.path()).filePath(Mode);
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(tableOf(0)) > 0);
    file.close();

    QRandomGenerator random(QRandomGenerator::global()->generate());
    QElapsedTimer clock;
    int saveMs = 0;
    int committed = 0;
    int killsMidSave = 0;
    // The first run only measures how long a save takes, to spread the kill
    // moments over a few saves.
    for (int kill = -1; kill < Kills; ++kill) {
        QProcess writer;
        writer.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        writer.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--writer"), dir.path()});
        // The moment counts from the first save on, so start-up does not swallow it.
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

        // Killed during a save: the one before or this one; after it: this one.
        const int found = generationOf(path);
        QVERIFY2(found == started || (midSave && found == started - 1), qPrintable(QString::number(found)));
        QVERIFY(found >= committed);
        committed = found;
    }
    // A kill between writing the finished file and renaming it over the
    // table may leave it under a temporary name: litter, but never a part.
    for (const QString &name : QDir(dir.path()).entryList(QDir::Files | QDir::Hidden))
        QVERIFY2(generationOf(dir.filePath(name)) > 0, qPrintable(name));
    qInfo("%d kills, %d during a save of about %d ms", Kills, killsMidSave, saveMs);
    // Kills that all land between saves prove nothing; kills that never let
    // a save finish prove little.
    QVERIFY(killsMidSave > Kills / 4);
    QVERIFY(committed > Kills / 4);
}

int main(int argc, char *argv[])
{
    if (argc > 2 && qstrcmp(argv[1], "--writer") == 0)
        return runWriter(QString::fromLocal8Bit(argv[2]));
    QCoreApplication app(argc, argv);
    TestHighScoreKill test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_highscorekill.moc"
