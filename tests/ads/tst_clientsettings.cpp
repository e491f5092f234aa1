// SPDX-FileCopyrightText: 2026 The Tumblox developers
// SPDX-License-Identifier: GPL-3.0-or-later
// A corrupt settings file neither stops the client nor loses what else is kept
// there; an answered client id is saved only when the requests can carry it.
#include "inneractiveadmodule.h"
#include "inneractiveadmoduletestaccess.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TestClientSettings : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void clientId_data();
    void clientId();

private:
    QTemporaryDir configHome;
};

void TestClientSettings::initTestCase()
{
    QVERIFY(configHome.isValid());
    // QSettings settles its paths on first use, which comes after this.
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(configHome.path()));
}

void TestClientSettings::clientId_data()
{
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<QString>("answeredId");
    QTest::addColumn<QString>("savedId");

    const QByteArray sound("[General]\ncid=abc\nkeep=1\n");
    QTest::newRow("garbage around another key")
        << QByteArray("\x01\x02 junk ]\n[General]\nkeep=1\n[unclosed\n\xff\xfe\n") << "def" << "def";
    QTest::newRow("answered id of 256 characters") << sound << QString(256, u'x') << QString(256, u'x');
    QTest::newRow("answered id over 256 characters") << sound << QString(257, u'x') << "abc";
}

void TestClientSettings::clientId()
{
    QFETCH(QByteArray, stored);
    QFETCH(QString, answeredId);
    QFETCH(QString, savedId);

    // A file of its own per row: QSettings keeps what it read for the process.
    const QString appId = QStringLiteral("Quillo_Tumblox_QT ") + QLatin1String(QTest::currentDataTag());
    const QString path = configHome.filePath(QStringLiteral("InnerActive/") + appId + QStringLiteral(".conf"));
    QVERIFY(QDir().mkpath(QFileInfo(path).path()));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(stored), stored.size());
    file.close();

    InnerActiveAdModule module(nullptr, appId, 0);
    InnerActiveAdModuleTestAccess::takeAnswer(module, "<Response><client Id=\"" + answeredId.toUtf8() + "\"/></Response>");
    QCOMPARE(InnerActiveAdModuleTestAccess::clientId(module), savedId);

    QVERIFY(file.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = file.readAll().split('\n');
    QVERIFY(lines.contains("keep=1"));
    QVERIFY(lines.contains("cid=" + savedId.toUtf8()));
}

QTEST_GUILESS_MAIN(TestClientSettings)
#include "tst_clientsettings.moc"
