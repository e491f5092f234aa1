// SPDX-FileCopyrightText: 2026 The Tumblox developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "inneractiveaddialog.h"
#include "inneractiveadmodule.h"
#include "inneractiveadwidget.h"
#include "scriptedhttpserver.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUrlQuery>

Q_DECLARE_METATYPE(ScriptedAnswer)

namespace {

// How an exchange ends: the signal it brings.
enum Outcome { Ready, Corrupted, Failed };

const QString AppId = QStringLiteral("Quillo_Tumblox_QT");
const QByteArray LogoPath = "/inneractive_logo.png";
const QByteArray AnswerPath = "/simpleM2M/clientRequestAd";
const QByteArray ImagePath = "/img/ad.png";
const QString Keywords = QStringLiteral("games, puzzle, tetraminos, tetra, tetris, adventure, "
                                        "classic, brain, free, fun, challenge");
const int Wait = 10000;
const qint64 MiB = 1024 * 1024;
// Links of these schemes are recorded when opened; no browser starts.
const char *const Schemes[] = {"http", "https", "file", "javascript", "tumblox", "mailto"};

ScriptedAnswer answerWith(const QByteArray &body,
                          ScriptedAnswer::Delivery delivery = ScriptedAnswer::AtOnce)
{
    ScriptedAnswer answer;
    answer.body = body;
    answer.delivery = delivery;
    return answer;
}

// An unencoded "+" reads as a space, as a server reading a form would take it.
QUrlQuery serverQuery(const RecordedRequest &request)
{
    return QUrlQuery(QString::fromLatin1(request.query).replace(QLatin1Char('+'), "%20"));
}

QStringList queryKeys(const RecordedRequest &request)
{
    QStringList keys;
    for (const auto &item : serverQuery(request).queryItems())
        keys.append(item.first);
    return keys;
}

QString queryValue(const RecordedRequest &request, const QString &key)
{
    return serverQuery(request).queryItemValue(key, QUrl::FullyDecoded);
}

QSettings *clientSettings(QObject *parent)
{
    return new QSettings(QStringLiteral("InnerActive"), AppId, parent);
}

QByteArray utf16(const QString &text, QStringConverter::Encoding encoding)
{
    return QStringEncoder(encoding, QStringConverter::Flag::WriteBom).encode(text);
}

// Runs act on the ad dialog once it is up in its modal loop.
template<typename Act>
void whenDialogShows(Act act)
{
    auto *poll = new QTimer;
    poll->setInterval(10);
    QObject::connect(poll, &QTimer::timeout, [poll, act] {
        auto *dialog = qobject_cast<InnerActiveAdDialog *>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        poll->deleteLater();
        poll->stop();
        act(dialog);
    });
    poll->start();
}

} // namespace

Q_DECLARE_METATYPE(Outcome)

class TestInnerActiveAdModule : public QObject
{
    Q_OBJECT

public:
    Q_INVOKABLE void recordOpenedUrl(const QUrl &url) { openedUrls.append(url); }

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();

    void requestCycle();
    void redirectIsTheStageAnswer();
    void query_data();
    void query();
    void clientIdentity_data();
    void clientIdentity();
    void unusableAnswer_data();
    void unusableAnswer();
    void exchangeLimits_data();
    void exchangeLimits();
    void refusedConnection();
    void followLink_data();
    void followLink();
    void reloadInterval_data();
    void reloadInterval();
    void reloadAfterAdDataReady();
    void requestAdWhileBusy_data();
    void requestAdWhileBusy();
    void refusals();
    void setAdParameter_data();
    void setAdParameter();
    void deviceDescription_data();
    void deviceDescription();

    void adOperationRefusals_data();
    void adOperationRefusals();
    void placedBanner();
    void dialogOutcome_data();
    void dialogOutcome();
    void parentDeletedDuringDialog_data();
    void parentDeletedDuringDialog();

private:
    InnerActiveAdModule *newModule(int reloadInterval = 60);
    void scriptGoodAd(const QByteArray &beforeAd = QByteArray());
    QByteArray answerXml(const QByteArray &beforeAd, const QByteArray &link = "http://x/") const;
    bool runCycle(InnerActiveAdModule *module);
    QList<RecordedRequest> adRequests() const;
    void verifyRecovery(InnerActiveAdModule *module, const QByteArray &firstPath);

    QTemporaryDir configHome;
    ScriptedHttpServer *server = nullptr;
    QObject *scope = nullptr; // owns what one test creates
    QList<QUrl> openedUrls;
};

void TestInnerActiveAdModule::initTestCase()
{
    QVERIFY(configHome.isValid());
    // QSettings reads it on first use, which comes after this.
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(configHome.path()));
    for (const char *scheme : Schemes)
        QDesktopServices::setUrlHandler(QLatin1String(scheme), this, "recordOpenedUrl");
    server = new ScriptedHttpServer(this);
    QVERIFY(server->listen());
}

void TestInnerActiveAdModule::cleanupTestCase()
{
    for (const char *scheme : Schemes)
        QDesktopServices::unsetUrlHandler(QLatin1String(scheme));
}

void TestInnerActiveAdModule::init()
{
    scope = new QObject(this);
    clientSettings(scope)->clear();
    openedUrls.clear();
    server->reset();
    qputenv("TUMBLOX_AD_SERVER", server->baseUrl().toUtf8());
}

void TestInnerActiveAdModule::cleanup()
{
    delete scope;
}

// Set up as the board sets it up.
InnerActiveAdModule *TestInnerActiveAdModule::newModule(int reloadInterval)
{
    auto *module = new InnerActiveAdModule(scope, AppId, reloadInterval);
    module->setAdParameter(0, QStringLiteral("551"));
    module->setAdParameter(6, QStringLiteral("Games"));
    module->setAdParameter(5, Keywords);
    return module;
}

QByteArray TestInnerActiveAdModule::answerXml(const QByteArray &beforeAd,
                                              const QByteArray &link) const
{
    return "<?xml version=\"1.0\"?><response>" + beforeAd + "<ad><text>Play now</text><url>"
        + link + "</url><image>" + server->baseUrl().toUtf8() + ImagePath
        + "</image></ad></response>";
}

void TestInnerActiveAdModule::scriptGoodAd(const QByteArray &beforeAd)
{
    server->setAnswer(LogoPath, answerWith("LOGO"));
    server->setAnswer(AnswerPath, answerWith(answerXml(beforeAd)));
    server->setAnswer(ImagePath, answerWith("IMAGE"));
}

bool TestInnerActiveAdModule::runCycle(InnerActiveAdModule *module)
{
    QSignalSpy ready(module, &InnerActiveAdModule::adDataReady);
    return module->requestAd() == 1 && ready.wait(Wait);
}

QList<RecordedRequest> TestInnerActiveAdModule::adRequests() const
{
    QList<RecordedRequest> found;
    for (const RecordedRequest &request : server->requests()) {
        if (request.path == AnswerPath)
            found.append(request);
    }
    return found;
}

// After a stopped cycle, requestAd() starts again at firstPath and brings an
// ad without a further report.
void TestInnerActiveAdModule::verifyRecovery(InnerActiveAdModule *module,
                                             const QByteArray &firstPath)
{
    QSignalSpy errors(module, &InnerActiveAdModule::networkError);
    scriptGoodAd();
    const qsizetype before = server->requests().size();
    QVERIFY(runCycle(module));
    QCOMPARE(server->paths().value(before), firstPath);
    QCOMPARE(errors.count(), 0);
}

void TestInnerActiveAdModule::requestCycle()
{
    scriptGoodAd("<client Id=\"abc\"/>");
    InnerActiveAdModule *module = newModule();
    QSignalSpy reloads(module, &InnerActiveAdModule::startReloadAd);
    QSignalSpy ready(module, &InnerActiveAdModule::adDataReady);
    QSignalSpy errors(module, &InnerActiveAdModule::networkError);
    QSignalSpy corrupted(module, &InnerActiveAdModule::adDataCorrupted);

    QCOMPARE(module->requestAd(), 1);
    QCOMPARE(reloads.count(), 0); // not for the logo
    QVERIFY(ready.wait(Wait));

    QCOMPARE(server->paths(), QList<QByteArray>({LogoPath, AnswerPath, ImagePath}));
    QCOMPARE(ready.count(), 1);
    QCOMPARE(reloads.count(), 1);
    QCOMPARE(errors.count() + corrupted.count(), 0);
    QVERIFY(module->adReady);
    QVERIFY(!module->requestInProgress);
    QCOMPARE(module->logoBytes, QByteArray("LOGO"));
    QCOMPARE(module->adImageBytes, QByteArray("IMAGE"));
    QCOMPARE(module->adText, QStringLiteral("Play now"));
    QCOMPARE(module->adLinkText, QStringLiteral("http://x/"));
    QCOMPARE(clientSettings(scope)->value("cid").toString(), QStringLiteral("abc"));

    // Only Qt's own headers besides the User-Agent.
    const QList<QByteArray> qtHeaders = {"host", "connection", "accept-encoding", "accept-language"};
    for (const RecordedRequest &request : server->requests()) {
        QCOMPARE(request.method, QByteArray("GET"));
        QCOMPARE(request.header("User-Agent"),
                 QByteArray("Mozilla/5.0 (X11; U; Linux armv7l; fi-FI; rv:1.9.2a1pre) "
                            "Gecko/20090928 Firefox/3.5 Maemo Browser 1.4.1.15 RX-51 N900"));
        for (const auto &[name, value] : request.headers)
            QVERIFY2(qtHeaders.contains(name.toLower()) || name == "User-Agent", name.constData());
    }
}

void TestInnerActiveAdModule::redirectIsTheStageAnswer()
{
    scriptGoodAd();
    ScriptedAnswer moved = answerWith("MOVED");
    moved.status = 302;
    moved.headers = {{"Location", "/elsewhere.png"}};
    server->setAnswer(LogoPath, moved);
    server->setAnswer("/elsewhere.png", answerWith("OTHER"));
    InnerActiveAdModule *module = newModule();

    QVERIFY(runCycle(module));
    QCOMPARE(module->logoBytes, QByteArray("MOVED"));
    QCOMPARE(server->paths(), QList<QByteArray>({LogoPath, AnswerPath, ImagePath}));
}

void TestInnerActiveAdModule::query_data()
{
    QTest::addColumn<QString>("heldId");
    QTest::addColumn<QString>("keywords");
    QTest::addColumn<QStringList>("keys");

    const QStringList gameKeys = {"aid", "v", "o", "po", "k", "c", "time"};
    QTest::newRow("first run") << QString() << Keywords << gameKeys;
    QTest::newRow("client id held") << QStringLiteral("abc") << Keywords
                                    << QStringList({"aid", "v", "o", "po", "cid", "k", "c", "time"});
    QTest::newRow("empty value left out") << QString() << QString()
                                          << QStringList({"aid", "v", "o", "po", "c", "time"});
    QTest::newRow("ampersand and equals") << QString() << QStringLiteral("a&b=c&=") << gameKeys;
    QTest::newRow("plus and space") << QString() << QStringLiteral("1 + 1 = 2+") << gameKeys;
    QTest::newRow("non-ASCII") << QString() << QStringLiteral("Pelit ja äänet €, 遊戲") << gameKeys;
    QTest::newRow("percent signs") << QString() << QStringLiteral("100%25 %zz %") << gameKeys;
    QTest::newRow("URL delimiters") << QString() << QStringLiteral("#top?x=/y;z@w:v[0]") << gameKeys;
}

void TestInnerActiveAdModule::query()
{
    QFETCH(QString, heldId);
    QFETCH(QString, keywords);
    QFETCH(QStringList, keys);

    if (!heldId.isEmpty())
        clientSettings(scope)->setValue("cid", heldId);
    scriptGoodAd();
    InnerActiveAdModule *module = newModule();
    QCOMPARE(module->setAdParameter(5, keywords), 1);
    const qint64 before = QDateTime::currentSecsSinceEpoch();
    QVERIFY(runCycle(module));
    const qint64 after = QDateTime::currentSecsSinceEpoch();

    const RecordedRequest request = adRequests().value(0);
    QCOMPARE(queryKeys(request), keys);
    QCOMPARE(queryValue(request, "aid"), AppId);
    QCOMPARE(queryValue(request, "v"), QStringLiteral("Sm2m-1.5.2-QT_1.5.2"));
    QCOMPARE(queryValue(request, "o"), QStringLiteral("true"));
    QCOMPARE(queryValue(request, "po"), QStringLiteral("551"));
    QCOMPARE(queryValue(request, "cid"), heldId);
    QCOMPARE(queryValue(request, "k"), keywords);
    QCOMPARE(queryValue(request, "c"), QStringLiteral("Games"));
    const QString time = queryValue(request, "time");
    QVERIFY2(!time.startsWith('0') && time.toLongLong() >= before && time.toLongLong() <= after,
             qPrintable(time));
}

void TestInnerActiveAdModule::clientIdentity_data()
{
    QTest::addColumn<QString>("heldId");
    QTest::addColumn<QByteArray>("client");
    QTest::addColumn<QString>("storedAfter"); // "untouched" when nothing was written
    QTest::addColumn<QString>("sentAfter");

    const QString untouched = QStringLiteral("untouched");
    const QString longest(256, QLatin1Char('i'));
    QTest::newRow("first id") << QString() << QByteArray("<client Id=\"abc\"/>")
                              << QStringLiteral("abc") << QStringLiteral("abc");
    QTest::newRow("changed id") << QStringLiteral("abc") << QByteArray("<client Id=\"xyz\"/>")
                                << QStringLiteral("xyz") << QStringLiteral("xyz");
    QTest::newRow("same id is not written again")
        << QStringLiteral("abc") << QByteArray("<client Id=\"abc\"/>") << untouched
        << QStringLiteral("abc");
    QTest::newRow("no client element")
        << QStringLiteral("abc") << QByteArray() << untouched << QStringLiteral("abc");
    QTest::newRow("Id absent while one is held")
        << QStringLiteral("abc") << QByteArray("<client/>") << QString() << QString();
    QTest::newRow("256 characters")
        << QString() << "<client Id=\"" + longest.toLatin1() + "\"/>" << longest << longest;
    QTest::newRow("257 characters are ignored")
        << QStringLiteral("abc") << "<client Id=\"" + QByteArray(257, 'i') + "\"/>" << untouched
        << QStringLiteral("abc");
}

// The held id comes from the settings, which are written only on a change.
void TestInnerActiveAdModule::clientIdentity()
{
    QFETCH(QString, heldId);
    QFETCH(QByteArray, client);
    QFETCH(QString, storedAfter);
    QFETCH(QString, sentAfter);

    QSettings *settings = clientSettings(scope);
    if (!heldId.isEmpty())
        settings->setValue("cid", heldId);
    scriptGoodAd(client);
    InnerActiveAdModule *module = newModule();
    settings->setValue("cid", "untouched");
    QVERIFY(runCycle(module));
    QVERIFY(runCycle(module));

    QCOMPARE(settings->value("cid").toString(), storedAfter);
    QCOMPARE(queryValue(adRequests().value(0), "cid"), heldId);
    QCOMPARE(queryValue(adRequests().value(1), "cid"), sentAfter);
    QCOMPARE(queryKeys(adRequests().value(1)).contains("cid"), !sentAfter.isEmpty());
}

void TestInnerActiveAdModule::unusableAnswer_data()
{
    QTest::addColumn<QByteArray>("body");

    QTest::newRow("empty") << QByteArray();
    QTest::newRow("not XML") << QByteArray("<html><body>Oops</body>");
    QTest::newRow("entity declarations")
        << QByteArray("<!DOCTYPE r [<!ENTITY a \"lol\"><!ENTITY b \"&a;&a;&a;&a;&a;&a;\">]>"
                      "<r><ad><text>&b;&b;&b;</text><image>http://127.0.0.1/a.png</image></ad></r>");
    QTest::newRow("no image element") << QByteArray("<r><ad><text>t</text></ad></r>");
    QTest::newRow("empty image address") << QByteArray("<r><ad><image></image></ad></r>");
    QTest::newRow("file address") << QByteArray("<r><ad><image>file:///etc/passwd</image></ad></r>");
    QTest::newRow("resource address") << QByteArray("<r><ad><image>qrc:/a.png</image></ad></r>");
    QTest::newRow("data address") << QByteArray("<r><ad><image>data:image/png;base64,iVBO</image></ad></r>");
    QTest::newRow("no host") << QByteArray("<r><ad><image>http:/img/ad.png</image></ad></r>");
    QTest::newRow("unparsable") << QByteArray("<r><ad><image>http://[::1/a.png</image></ad></r>");
}

// Corrupt, no image request, and the next requestAd() asks for an ad, not the logo.
void TestInnerActiveAdModule::unusableAnswer()
{
    QFETCH(QByteArray, body);

    scriptGoodAd();
    server->setAnswer(AnswerPath, answerWith(body));
    InnerActiveAdModule *module = newModule();
    QSignalSpy corrupted(module, &InnerActiveAdModule::adDataCorrupted);
    QSignalSpy errors(module, &InnerActiveAdModule::networkError);
    QCOMPARE(module->requestAd(), 1);
    QVERIFY(corrupted.wait(Wait));

    QCOMPARE(corrupted.count(), 1);
    QCOMPARE(errors.count(), 0);
    QCOMPARE(server->paths(), QList<QByteArray>({LogoPath, AnswerPath}));
    QVERIFY(!module->adReady && !module->requestInProgress);
    verifyRecovery(module, AnswerPath);
}

void TestInnerActiveAdModule::exchangeLimits_data()
{
    QTest::addColumn<QByteArray>("path");
    QTest::addColumn<ScriptedAnswer>("answer");
    QTest::addColumn<int>("timeLimitMs"); // 0: the game's own
    QTest::addColumn<Outcome>("outcome");

    auto failing = [](int status) {
        ScriptedAnswer answer = answerWith("<r><ad><image>http://x/a.png</image></ad></r>");
        answer.status = status;
        return answer;
    };
    auto announcing = [](qint64 length) {
        ScriptedAnswer answer = answerWith(QByteArray(), ScriptedAnswer::HeadersOnly);
        answer.announcedLength = length;
        return answer;
    };
    auto padded = [this](qint64 size) { // well-formed, exactly size bytes
        const QByteArray xml = answerXml(QByteArray());
        return answerWith(xml + "<!--" + QByteArray(size - xml.size() - 7, 'x') + "-->");
    };
    const ScriptedAnswer endless = answerWith(QByteArray(), ScriptedAnswer::Endless);
    const ScriptedAnswer hang = answerWith(QByteArray(), ScriptedAnswer::Hang);

    QTest::newRow("logo 404") << LogoPath << failing(404) << 0 << Failed;
    QTest::newRow("ad answer 500") << AnswerPath << failing(500) << 0 << Failed;
    QTest::newRow("image 503") << ImagePath << failing(503) << 0 << Failed;

    QTest::newRow("logo never answered") << LogoPath << hang << 300 << Failed;
    QTest::newRow("ad answer never answered") << AnswerPath << hang << 300 << Failed;
    QTest::newRow("image body never sent")
        << ImagePath << answerWith(QByteArray(100, 'x'), ScriptedAnswer::HeadersOnly) << 300
        << Failed;
    // Bytes keep coming, so only a limit on the whole exchange ends it.
    QTest::newRow("image trickling in")
        << ImagePath << answerWith(QByteArray(4096, 'x'), ScriptedAnswer::Slowly) << 300 << Failed;

    QTest::newRow("logo of 2 MiB") << LogoPath << answerWith(QByteArray(2 * MiB, 'L')) << 0 << Ready;
    QTest::newRow("logo of 2 MiB + 1")
        << LogoPath << answerWith(QByteArray(2 * MiB + 1, 'L')) << 0 << Failed;
    QTest::newRow("logo announced too large") << LogoPath << announcing(2 * MiB + 1) << 0 << Failed;
    QTest::newRow("logo without end") << LogoPath << endless << 0 << Failed;
    QTest::newRow("ad answer of 16 KiB") << AnswerPath << padded(16 * 1024) << 0 << Ready;
    // Carried, but too large to be parsed.
    QTest::newRow("ad answer of 256 KiB") << AnswerPath << padded(256 * 1024) << 0 << Corrupted;
    QTest::newRow("ad answer of 256 KiB + 1") << AnswerPath << padded(256 * 1024 + 1) << 0 << Failed;
    QTest::newRow("ad answer announced too large") << AnswerPath << announcing(10 * MiB) << 0 << Failed;
    QTest::newRow("image of 2 MiB") << ImagePath << answerWith(QByteArray(2 * MiB, 'I')) << 0 << Ready;
    QTest::newRow("image without end") << ImagePath << endless << 0 << Failed;
}

// A failed, overlong or oversized exchange is reported once, keeps nothing
// and stops the cycle; after a failed logo the logo is asked for again. An
// answer the transport carries but the parser refuses is corrupt, not failed.
void TestInnerActiveAdModule::exchangeLimits()
{
    QFETCH(QByteArray, path);
    QFETCH(ScriptedAnswer, answer);
    QFETCH(int, timeLimitMs);
    QFETCH(Outcome, outcome);

    scriptGoodAd();
    server->setAnswer(path, answer);
    InnerActiveAdModule *module = newModule();
    if (timeLimitMs > 0)
        module->setExchangeTimeLimit(timeLimitMs);
    QSignalSpy errors(module, &InnerActiveAdModule::networkError);
    QSignalSpy ready(module, &InnerActiveAdModule::adDataReady);
    QSignalSpy corrupted(module, &InnerActiveAdModule::adDataCorrupted);
    QCOMPARE(module->requestAd(), 1);
    QTRY_VERIFY_WITH_TIMEOUT(errors.count() + ready.count() + corrupted.count() > 0, Wait);

    QCOMPARE(ready.count(), outcome == Ready ? 1 : 0);
    QCOMPARE(corrupted.count(), outcome == Corrupted ? 1 : 0);
    // Ended on either side, the exchange lets go of its connection; an aborted
    // download that went on streaming would starve the next exchange.
    QTRY_COMPARE_WITH_TIMEOUT(server->openConnections(), 0, Wait);
    if (outcome == Ready)
        return;
    QCOMPARE(server->paths().last(), path);
    QVERIFY(path != LogoPath || module->logoBytes.isEmpty());
    QVERIFY(module->adImageBytes.isEmpty());
    QVERIFY(!module->adReady && !module->requestInProgress);
    verifyRecovery(module, path == LogoPath ? LogoPath : AnswerPath);
    QCOMPARE(corrupted.count(), outcome == Corrupted ? 1 : 0);
    QCOMPARE(errors.count(), outcome == Failed ? 1 : 0);
    QVERIFY(outcome != Failed || !errors.first().first().toString().isEmpty());
}

void TestInnerActiveAdModule::refusedConnection()
{
    QTcpServer closed;
    QVERIFY(closed.listen(QHostAddress::LocalHost));
    qputenv("TUMBLOX_AD_SERVER", "http://127.0.0.1:" + QByteArray::number(closed.serverPort()));
    closed.close();
    InnerActiveAdModule *module = newModule();
    QSignalSpy errors(module, &InnerActiveAdModule::networkError);

    QCOMPARE(module->requestAd(), 1);
    QVERIFY(errors.wait(Wait));
    QCOMPARE(module->requestAd(), 1);
    QVERIFY(errors.wait(Wait));
    QCOMPARE(module->requestStage, 0); // the logo, again
}

void TestInnerActiveAdModule::followLink_data()
{
    QTest::addColumn<QByteArray>("link");
    QTest::addColumn<bool>("opened");

    QTest::newRow("http") << QByteArray("http://example.com/play?x=1&amp;y=2") << true;
    QTest::newRow("https") << QByteArray("https://example.com/play") << true;
    QTest::newRow("capital scheme") << QByteArray("HTTPS://example.com/") << true;
    QTest::newRow("file") << QByteArray("file:///etc/passwd") << false;
    QTest::newRow("javascript") << QByteArray("javascript:alert(1)") << false;
    QTest::newRow("custom scheme") << QByteArray("tumblox://cheat") << false;
    QTest::newRow("mailto") << QByteArray("mailto:someone@example.com") << false;
}

// Only web links reach the desktop; a new ad is requested either way.
void TestInnerActiveAdModule::followLink()
{
    QFETCH(QByteArray, link);
    QFETCH(bool, opened);

    scriptGoodAd();
    server->setAnswer(AnswerPath, answerWith(answerXml(QByteArray(), link)));
    InnerActiveAdModule *module = newModule();
    QCOMPARE(module->openAdLink(), -4);
    QVERIFY(runCycle(module));
    QVERIFY(module->reloadTimer->isActive());
    QSignalSpy reloads(module, &InnerActiveAdModule::startReloadAd);
    const QUrl held(module->adLinkText);

    QCOMPARE(module->openAdLink(), 1);
    QCOMPARE(openedUrls, opened ? QList<QUrl>({held}) : QList<QUrl>());
    QCOMPARE(reloads.count(), 1);
    QVERIFY(!module->reloadTimer->isActive());
    QCOMPARE(module->openAdLink(), -4); // no ready ad while the next one loads
    QTRY_COMPARE(adRequests().size(), 2);
}

void TestInnerActiveAdModule::reloadInterval_data()
{
    QTest::addColumn<int>("seconds");
    QTest::addColumn<int>("intervalMs"); // 0: never started

    QTest::newRow("0") << 0 << 0;
    QTest::newRow("86400") << 86400 << 86400 * 1000;
    QTest::newRow("86401") << 86401 << 120 * 1000;
    QTest::newRow("-1") << -1 << 120 * 1000;
}

void TestInnerActiveAdModule::reloadInterval()
{
    QFETCH(int, seconds);
    QFETCH(int, intervalMs);

    scriptGoodAd();
    InnerActiveAdModule *module = newModule(seconds);
    QVERIFY(runCycle(module));

    QCOMPARE(module->reloadTimer->isActive(), intervalMs != 0);
    if (intervalMs != 0) {
        QCOMPARE(module->reloadTimer->interval(), intervalMs);
        QVERIFY(module->reloadTimer->isSingleShot());
    }
}

void TestInnerActiveAdModule::reloadAfterAdDataReady()
{
    scriptGoodAd();
    InnerActiveAdModule *module = newModule(1);
    QSignalSpy ready(module, &InnerActiveAdModule::adDataReady);
    QCOMPARE(module->requestAd(), 1);

    QTRY_COMPARE_WITH_TIMEOUT(ready.count(), 2, Wait);
    QCOMPARE(server->paths(),
             QList<QByteArray>({LogoPath, AnswerPath, ImagePath, AnswerPath, ImagePath}));
}

void TestInnerActiveAdModule::requestAdWhileBusy_data()
{
    QTest::addColumn<QByteArray>("hangingPath");

    QTest::newRow("logo") << LogoPath;
    QTest::newRow("ad answer") << AnswerPath;
    QTest::newRow("image") << ImagePath;
}

// Refused without a signal, and the exchange in flight goes on undisturbed.
void TestInnerActiveAdModule::requestAdWhileBusy()
{
    QFETCH(QByteArray, hangingPath);

    scriptGoodAd();
    server->setAnswer(hangingPath, answerWith(QByteArray(), ScriptedAnswer::Hang));
    InnerActiveAdModule *module = newModule();
    QSignalSpy reloads(module, &InnerActiveAdModule::startReloadAd);
    QCOMPARE(module->requestAd(), 1);
    QTRY_VERIFY_WITH_TIMEOUT(server->paths().contains(hangingPath), Wait);

    const int reloadsBefore = reloads.count();
    const QNetworkReply *inFlight = module->reply;
    QCOMPARE(module->requestAd(), -1);
    QCOMPARE(reloads.count(), reloadsBefore);
    QCOMPARE(module->reply, inFlight);
}

void TestInnerActiveAdModule::refusals()
{
    auto *nameless = new InnerActiveAdModule(scope, QString(), 60);
    QCOMPARE(nameless->requestAd(), -3);
    QCOMPARE(nameless->reply, nullptr);

    server->setAnswer(LogoPath, answerWith(QByteArray(), ScriptedAnswer::Hang));
    InnerActiveAdModule *busy = newModule();
    QCOMPARE(busy->requestAd(), 1);
    QCOMPARE(busy->setAdParameter(6, QStringLiteral("Puzzles")), -1);
    QCOMPARE(busy->adParameters[6], QStringLiteral("Games"));
}

void TestInnerActiveAdModule::setAdParameter_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("length");
    QTest::addColumn<int>("result");

    QTest::newRow("256 characters") << 5 << 256 << 1;
    QTest::newRow("257 characters") << 5 << 257 << -2;
    QTest::newRow("last index") << 8 << 2 << 1;
    QTest::newRow("index 9") << 9 << 2 << 1;
    QTest::newRow("index -1") << -1 << 2 << 1;
    QTest::newRow("index 9, 257 characters") << 9 << 257 << -2;
}

void TestInnerActiveAdModule::setAdParameter()
{
    QFETCH(int, index);
    QFETCH(int, length);
    QFETCH(int, result);

    InnerActiveAdModule *module = newModule();
    QStringList expected(std::begin(module->adParameters), std::end(module->adParameters));
    const QString value(length, QLatin1Char('v'));
    if (result == 1 && index >= 0 && index < expected.size())
        expected[index] = value;

    QCOMPARE(module->setAdParameter(index, value), result);
    QCOMPARE(QStringList(std::begin(module->adParameters), std::end(module->adParameters)),
             expected);
}

void TestInnerActiveAdModule::deviceDescription_data()
{
    QTest::addColumn<QByteArray>("product"); // null: no such file
    QTest::addColumn<QByteArray>("model");
    QTest::addColumn<QString>("expected");

    using C = QStringConverter;
    QTest::newRow("maker and model, Windows style")
        << utf16("Manufacturer=Nokia\r\nModel=N900\r\n", C::Utf16LE) << QByteArray()
        << QStringLiteral("Nokia N900");
    QTest::newRow("maker and model, big-endian")
        << utf16("manufacturer=Nökia\nMODEL=RX-51\n", C::Utf16BE) << QByteArray()
        << QStringLiteral("Nökia RX-51");
    QTest::newRow("maker without a model line end")
        << utf16("Manufacturer=Nokia\r\nModel=N900", C::Utf16LE) << QByteArray()
        << QStringLiteral("Nokia");
    QTest::newRow("maker not on the first line")
        << utf16("Version=1\r\nManufacturer=Nokia\r\nModel=N900\r\n", C::Utf16LE)
        << utf16("RX-51", C::Utf16LE) << QString();
    QTest::newRow("model file only") << QByteArray() << utf16("RX-51 N900", C::Utf16LE)
                                     << QStringLiteral("RX-51 N900");
    QTest::newRow("neither file") << QByteArray() << QByteArray() << QString();
}

void TestInnerActiveAdModule::deviceDescription()
{
    QFETCH(QByteArray, product);
    QFETCH(QByteArray, model);
    QFETCH(QString, expected);

    QTemporaryDir root;
    const QString versions = root.filePath(QStringLiteral("z:/resource/versions/"));
    QVERIFY(QDir().mkpath(versions));
    for (const auto &[name, bytes] : {qMakePair(QStringLiteral("product.txt"), product),
                                      qMakePair(QStringLiteral("model.txt"), model)}) {
        QFile file(versions + name);
        QVERIFY(bytes.isNull() || (file.open(QIODevice::WriteOnly) && file.write(bytes) > 0));
    }

    const QString previous = QDir::currentPath();
    QVERIFY(QDir::setCurrent(root.path()));
    const QString description = newModule()->deviceDescription();
    QVERIFY(QDir::setCurrent(previous));
    QCOMPARE(description, expected);
    QCOMPARE(description.isNull(), expected.isNull());
}

void TestInnerActiveAdModule::adOperationRefusals_data()
{
    QTest::addColumn<bool>("busy");
    QTest::addColumn<bool>("ready");
    QTest::addColumn<bool>("withWidget");
    QTest::addColumn<int>("dialogResult"); // 0: the dialog would show
    QTest::addColumn<int>("updateResult");

    QTest::newRow("busy wins over everything") << true << false << false << -1 << -1;
    QTest::newRow("busy with an ad") << true << true << true << -1 << -1;
    QTest::newRow("no ad") << false << false << true << -4 << -4;
    QTest::newRow("no ad wins over no widget") << false << false << false << -4 << -4;
    QTest::newRow("no widget") << false << true << false << 0 << -5;
}

// Refused before anything is shown or touched.
void TestInnerActiveAdModule::adOperationRefusals()
{
    QFETCH(bool, busy);
    QFETCH(bool, ready);
    QFETCH(bool, withWidget);
    QFETCH(int, dialogResult);
    QFETCH(int, updateResult);

    InnerActiveAdModule *module = newModule();
    module->requestInProgress = busy;
    module->adReady = ready;
    module->adLinkText = QStringLiteral("http://x/held");
    auto *parent = new QWidget;
    connect(scope, &QObject::destroyed, parent, [parent] { delete parent; });
    InnerActiveAdWidget *widget = module->createAdWidget(parent, false);
    QSignalSpy activated(widget, &InnerActiveAdWidget::adLinkActivated);

    if (dialogResult != 0) {
        module->reloadTimer->start();
        QCOMPARE(module->showAdDialog(parent, 10, "Skip in", "Skip", "Click", true, false),
                 dialogResult);
        QVERIFY(module->reloadTimer->isActive());
        QVERIFY(!parent->findChild<InnerActiveAdDialog *>());
    }
    QCOMPARE(module->updateAdWidget(withWidget ? widget : nullptr), updateResult);
    QTest::mouseClick(widget, Qt::LeftButton);
    QCOMPARE(activated.count(), 1);
    QCOMPARE(activated.first().first().toUrl(), QUrl()); // still empty
}

// A banner placed by the caller shows the ad held and follows it like the dialog.
void TestInnerActiveAdModule::placedBanner()
{
    scriptGoodAd();
    InnerActiveAdModule *module = newModule();
    auto *parent = new QWidget;
    connect(scope, &QObject::destroyed, parent, [parent] { delete parent; });
    InnerActiveAdWidget *widget = module->createAdWidget(parent, true);
    QCOMPARE(widget->parentWidget(), parent);
    QVERIFY(runCycle(module));
    QSignalSpy reloads(module, &InnerActiveAdModule::startReloadAd);

    QCOMPARE(module->updateAdWidget(widget), 1);
    QCOMPARE(widget->findChild<QLabel *>("lblAdTextCtrl")->text(), QStringLiteral("Play now"));
    QTest::mouseClick(widget, Qt::LeftButton);
    QCOMPARE(openedUrls, QList<QUrl>({ QUrl(QStringLiteral("http://x/")) }));
    QCOMPARE(reloads.count(), 1);
}

void TestInnerActiveAdModule::dialogOutcome_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<bool>("newRequest");

    QTest::newRow("skipped") << "btnLeft" << false;
    QTest::newRow("followed") << "btnRight" << true;
}

// The ad shown is never replaced under the dialog; afterwards a followed ad
// is replaced at once and a skipped one after the full interval.
void TestInnerActiveAdModule::dialogOutcome()
{
    QFETCH(QString, button);
    QFETCH(bool, newRequest);

    scriptGoodAd();
    InnerActiveAdModule *module = newModule();
    QVERIFY(runCycle(module));
    QVERIFY(module->reloadTimer->isActive());
    QSignalSpy reloads(module, &InnerActiveAdModule::startReloadAd);

    bool reloadStoppedWhileShown = false;
    whenDialogShows([&](InnerActiveAdDialog *dialog) {
        reloadStoppedWhileShown = !module->reloadTimer->isActive();
        dialog->findChild<QPushButton *>(button)->click();
    });
    QCOMPARE(module->showAdDialog(nullptr, 10, "Skip in", "Skip", "Click", true, false), 1);

    QVERIFY(reloadStoppedWhileShown);
    QCOMPARE(reloads.count(), newRequest ? 1 : 0);
    QCOMPARE(module->requestInProgress, newRequest);
    QCOMPARE(module->reloadTimer->isActive(), !newRequest);
    QCOMPARE(module->reloadTimer->remainingTime() > 59000, !newRequest);
    QCOMPARE(openedUrls.size(), newRequest ? 1 : 0);
}

void TestInnerActiveAdModule::parentDeletedDuringDialog_data()
{
    QTest::addColumn<bool>("parentOwnsClient");

    QTest::newRow("client lives on") << false;
    QTest::newRow("client goes with the parent") << true; // as with the board
}

void TestInnerActiveAdModule::parentDeletedDuringDialog()
{
    QFETCH(bool, parentOwnsClient);

    scriptGoodAd();
    QPointer<QWidget> parent = new QWidget;
    connect(scope, &QObject::destroyed, parent, [parent] { delete parent; });
    QPointer<InnerActiveAdModule> module = newModule();
    if (parentOwnsClient)
        module->setParent(parent);
    QVERIFY(runCycle(module));

    whenDialogShows([&parent](InnerActiveAdDialog *) { delete parent; });
    QCOMPARE(module->showAdDialog(parent, 10, "Skip in", "Skip", "Click", true, false), 1);

    QVERIFY(!parent);
    QCOMPARE(module.isNull(), parentOwnsClient);
    if (module) // it closed unanswered, as if skipped
        QVERIFY(module->reloadTimer->isActive());
}

QTEST_MAIN(TestInnerActiveAdModule)

#include "tst_inneractiveadmodule.moc"
