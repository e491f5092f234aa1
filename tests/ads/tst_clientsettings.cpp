// SPDX-FileCopyrightText: 2026 The Tumblox developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The ad client's stored client id against settings files it cannot use:
// start-up goes on, the id is then empty, and whatever else is stored there
// outlives the client's next save. Each start is a process of its own, as
// QSettings keeps what it read in memory for the life of a process.
#include "adserverprocess.h"
#include "inneractiveadmodule.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUrlQuery>

#include <cstring>
#include <memory>

#include <unistd.h>

namespace {

const QString AppId = QStringLiteral("Quillo_Tumblox_QT");
const int Wait = 10000;
const char ClientArgument[] = "--client";

enum ClientExit { Ready = 0, Failed = 2, TimedOut = 3 };

// The child: one start of the client up to its first ad.
int runClient(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    InnerActiveAdModule module(nullptr, AppId, 0);
    QObject::connect(&module, &InnerActiveAdModule::adDataReady, &app, [] { QCoreApplication::exit(Ready); });
    QObject::connect(&module, &InnerActiveAdModule::adDataCorrupted, &app, [] { QCoreApplication::exit(Failed); });
    QObject::connect(&module, &InnerActiveAdModule::networkError, &app, [] { QCoreApplication::exit(Failed); });
    QTimer::singleShot(Wait, &app, [] { QCoreApplication::exit(TimedOut); });
    if (module.requestAd() != InnerActiveAdModule::Success)
        return Failed;
    return app.exec();
}

enum class Shape {
    File, // the bytes below in the settings file
    Directory, // a directory, holding one file of ours, where the file belongs
    FolderIsFile, // a file, holding the bytes below, where the folder belongs
    Unreadable, // the bytes below in a file nobody may read
};

QByteArray binaryBytes()
{
    QByteArray bytes(4096, '\0');
    QRandomGenerator random(7);
    for (char &c : bytes)
        c = char(random.bounded(256));
    return bytes;
}

} // namespace

Q_DECLARE_METATYPE(Shape)

class TestClientSettings : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void unusableSettings_data();
    void unusableSettings();

private:
    QString folder() const { return configHome.path() + QStringLiteral("/InnerActive"); }
    QString settingsPath() const { return folder() + u'/' + AppId + QStringLiteral(".conf"); }
    QStringList adRequests();
    QString requestedClientId();
    bool startClient();

    QTemporaryDir configHome;
    std::unique_ptr<AdServerProcess> server;
};

void TestClientSettings::initTestCase()
{
    QVERIFY(configHome.isValid());
    // QSettings settles its paths on first use, which comes after this.
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(configHome.path()));
    server = std::make_unique<AdServerProcess>(QStringList(), AdServerProcess::KeepLog);
    QVERIFY(!server->url().isEmpty());
    qputenv("TUMBLOX_AD_SERVER", server->url().toUtf8());
}

void TestClientSettings::init()
{
    if (QFileInfo(settingsPath()).isFile())
        QFile::setPermissions(settingsPath(), QFile::ReadOwner | QFile::WriteOwner);
    QDir(folder()).removeRecursively();
    QFile::remove(folder());
}

// The path and query of each ad request so far.
QStringList TestClientSettings::adRequests()
{
    QStringList targets;
    for (const QString &line : server->requests()) {
        const QString target = line.section(u' ', 1, 1);
        if (target.startsWith(QLatin1String("/simpleM2M/clientRequestAd?")))
            targets.append(target);
    }
    return targets;
}

// The client id the last ad request carried, as the server saw it.
QString TestClientSettings::requestedClientId()
{
    const QStringList targets = adRequests();
    if (targets.isEmpty())
        return QStringLiteral("<no ad request>");
    return QUrlQuery(QUrl(targets.constLast()).query()).queryItemValue(QStringLiteral("cid"));
}

// Starts the client in a child process up to its first ad; false when it
// crashed, failed or hung.
bool TestClientSettings::startClient()
{
    const qsizetype requestsBefore = adRequests().size();
    QProcess client;
    client.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    client.start(QCoreApplication::applicationFilePath(), { QLatin1String(ClientArgument) });
    if (!client.waitForFinished(2 * Wait)) {
        client.kill();
        client.waitForFinished();
        qWarning("The client hung");
        return false;
    }
    if (client.exitStatus() != QProcess::NormalExit || client.exitCode() != Ready) {
        qWarning("The client ended with status %d, code %d", client.exitStatus(), client.exitCode());
        return false;
    }
    // The server's log line may still be on its way.
    return QTest::qWaitFor([&] { return adRequests().size() > requestsBefore; }, Wait);
}

void TestClientSettings::unusableSettings_data()
{
    QTest::addColumn<Shape>("shape");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("loadedId");
    // The id the next start sends: "new" for the one the server handed out.
    QTest::addColumn<QString>("nextId");
    // A line that must still be there after the client saved its id.
    QTest::addColumn<QByteArray>("keptLine");

    const QString fresh = QStringLiteral("new");
    QTest::newRow("sound file") << Shape::File << QByteArray("[General]\ncid=abc-123\nkeep=1\n") << "abc-123"
                                << "abc-123" << QByteArray("keep=1");
    // QSettings reads what it can and writes back only that, with the id.
    QTest::newRow("empty file") << Shape::File << QByteArray() << "" << fresh << QByteArray();
    QTest::newRow("text garbage") << Shape::File << QByteArray("}{ not settings\n[[[\n==\n\\\n") << "" << fresh
                                  << QByteArray();
    QTest::newRow("binary") << Shape::File << binaryBytes() << "" << fresh << QByteArray();
    QTest::newRow("garbage around another key")
        << Shape::File << QByteArray("\x01\x02 junk ]\n[General]\nkeep=1\n[unclosed\n\xff\xfe\n") << "" << fresh
        << QByteArray("keep=1");
    QTest::newRow("no line end, 8 MiB") << Shape::File << QByteArray(8 * 1024 * 1024, 'x') << "" << fresh
                                        << QByteArray();
    // Nothing is saved over them: every start goes without an id.
    QTest::newRow("directory in its place") << Shape::Directory << QByteArray() << "" << "" << QByteArray();
    QTest::newRow("file in the folder's place")
        << Shape::FolderIsFile << QByteArray("not a folder\n") << "" << "" << QByteArray();
    QTest::newRow("unreadable") << Shape::Unreadable << QByteArray("[General]\ncid=abc-123\n") << "" << ""
                                << QByteArray();
}

void TestClientSettings::unusableSettings()
{
    QFETCH(Shape, shape);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, loadedId);
    QFETCH(QString, nextId);
    QFETCH(QByteArray, keptLine);

    if (shape == Shape::Unreadable && geteuid() == 0)
        QSKIP("root reads any file");

    QVERIFY(QDir().mkpath(shape == Shape::FolderIsFile ? configHome.path() : folder()));
    const QString occupied = shape == Shape::FolderIsFile ? folder() : settingsPath();
    if (shape == Shape::Directory) {
        QVERIFY(QDir().mkpath(settingsPath()));
        QFile inside(settingsPath() + QStringLiteral("/inside.txt"));
        QVERIFY(inside.open(QIODevice::WriteOnly));
        inside.write(bytes = "not ours\n");
    } else {
        QFile file(occupied);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(file.write(bytes), bytes.size());
    }
    if (shape == Shape::Unreadable)
        QVERIFY(QFile::setPermissions(settingsPath(), QFile::WriteOwner));

    // Start-up as the board does it: the client is made and asks for an ad.
    QVERIFY(startClient());
    QCOMPARE(requestedClientId(), loadedId);

    // The next start reads back what was saved, or again nothing.
    QVERIFY(startClient());
    if (nextId == QLatin1String("new")) {
        QVERIFY(!requestedClientId().isEmpty());
        QVERIFY(requestedClientId() != loadedId);
    } else {
        QCOMPARE(requestedClientId(), nextId);
    }

    // The client saved the id it was given where it could; nothing that was
    // not the client's is gone.
    if (shape == Shape::Directory) {
        QVERIFY(QFileInfo(settingsPath()).isDir());
        QFile inside(settingsPath() + QStringLiteral("/inside.txt"));
        QVERIFY(inside.open(QIODevice::ReadOnly));
        QCOMPARE(inside.readAll(), bytes);
    } else if (shape == Shape::FolderIsFile || shape == Shape::Unreadable) {
        QVERIFY(QFile::setPermissions(occupied, QFile::ReadOwner | QFile::WriteOwner));
        QFile file(occupied);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), bytes);
    }
    if (!keptLine.isEmpty()) {
        QFile file(settingsPath());
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.readAll().split('\n').contains(keptLine));
    }
}

int main(int argc, char *argv[])
{
    if (argc > 1 && std::strcmp(argv[1], ClientArgument) == 0)
        return runClient(argc, argv);
    QCoreApplication app(argc, argv);
    TestClientSettings test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_clientsettings.moc"
