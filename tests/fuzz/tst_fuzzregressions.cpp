// SPDX-FileCopyrightText: 2026 The Tumblox developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Replays every seed and every reproducer the fuzzers found through the
// harness of its target, so a fixed fault stays fixed in the normal suite.
#include "harnesses.h"

#include <QDir>
#include <QTest>

using Harness = int (*)(const uint8_t *, size_t);
Q_DECLARE_METATYPE(Harness)

namespace {

struct OpenFinding
{
    const char *row;
    const char *reason;
};

// Findings whose fix is still open, by row name, with who has to fix what.
// Once fixed the row passes unexpectedly and its entry has to go.
const QList<OpenFinding> OpenFindings = {};

} // namespace

class TestFuzzRegressions : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void replay_data();
    void replay();
};

void TestFuzzRegressions::initTestCase()
{
    int argc = 0;
    char **argv = nullptr;
    prepareFuzzing(&argc, &argv);
}

void TestFuzzRegressions::replay_data()
{
    QTest::addColumn<Harness>("harness");
    QTest::addColumn<QString>("path");

    const struct {
        const char *target;
        Harness harness;
    } targets[] = {
        {"fuzz-ad-answer", runAdAnswer},
        {"fuzz-highscores", runHighScores},
        {"fuzz-device-description", runDeviceDescription},
    };
    for (const auto &target : targets) {
        int files = 0;
        for (const char *folder : {"corpus", "regressions"}) {
            const QDir dir(QStringLiteral(TUMBLOX_FUZZ_DIR "/%1/%2")
                               .arg(QLatin1String(folder), QLatin1String(target.target)));
            for (const QFileInfo &file : dir.entryInfoList(QDir::Files, QDir::Name)) {
                const QByteArray name = QByteArray(target.target) + '/' + folder + '/'
                    + file.fileName().toUtf8();
                QTest::newRow(name.constData()) << target.harness << file.filePath();
                ++files;
            }
        }
        // A moved folder would otherwise pass by replaying nothing.
        if (files == 0)
            qFatal("No seeds for %s", target.target);
    }
}

void TestFuzzRegressions::replay()
{
    QFETCH(Harness, harness);
    QFETCH(QString, path);

    QFile file(path);
    QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(path));
    const QByteArray bytes = file.readAll();
    for (const auto &finding : OpenFindings) {
        if (qstrcmp(QTest::currentDataTag(), finding.row) == 0)
            QEXPECT_FAIL("", finding.reason, Abort);
    }
    // The harness prints which invariant broke.
    QCOMPARE(harness(reinterpret_cast<const uint8_t *>(bytes.constData()), size_t(bytes.size())),
             0);
}

QTEST_GUILESS_MAIN(TestFuzzRegressions)
#include "tst_fuzzregressions.moc"
