// SPDX-FileCopyrightText: 2026 The Tumblox developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Replays every seed and reproducer through the harness of its target, so a
// fixed fault stays fixed in the normal suite.
#include "filebytes.h"
#include "harnesses.h"

#include <QDir>
#include <QTest>

using Harness = int (*)(const uint8_t *, size_t);
Q_DECLARE_METATYPE(Harness)

class TestFuzzRegressions : public QObject
{
    Q_OBJECT

private slots:
    void replay_data();
    void replay();
};

void TestFuzzRegressions::replay_data()
{
    int argc = 0;
    char **argv = nullptr;
    prepareFuzzing(&argc, &argv);
    QTest::addColumn<Harness>("harness");
    QTest::addColumn<QString>("path");
    const std::pair<const char *, Harness> targets[] = {
        {"fuzz-ad-answer", runAdAnswer}, {"fuzz-highscores", runHighScores}, {"fuzz-device-description", runDeviceDescription},
        {"fuzz-saved-game", runSavedGame}};
    for (const auto &[target, harness] : targets) {
        const QDir root(TUMBLOX_FUZZ_DIR);
        const QFileInfoList files = QDir(root.filePath("corpus/") + target).entryInfoList(QDir::Files)
            + QDir(root.filePath("regressions/") + target).entryInfoList(QDir::Files);
        // A moved folder would otherwise pass by replaying nothing.
        QVERIFY2(!files.isEmpty(), target);
        for (const QFileInfo &file : files)
            QTest::newRow(qPrintable(root.relativeFilePath(file.filePath()))) << harness << file.filePath();
    }
}

void TestFuzzRegressions::replay()
{
    QFETCH(Harness, harness);
    QFETCH(QString, path);
    const QByteArray bytes = readFile(path);
    QVERIFY2(!bytes.isEmpty(), qPrintable(path));
    QCOMPARE(harness(reinterpret_cast<const uint8_t *>(bytes.constData()), size_t(bytes.size())), 0);
}

QTEST_GUILESS_MAIN(TestFuzzRegressions)
#include "tst_fuzzregressions.moc"
