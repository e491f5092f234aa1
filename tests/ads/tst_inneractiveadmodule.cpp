// SPDX-FileCopyrightText: 2026 The Tumblox developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "adanswer.h"
#include "adserverprocess.h"
#include "filebytes.h"
#include "inneractiveadmodule.h"
#include "inneractiveadwidget.h"

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

namespace {

const QString AppId = QStringLiteral("Quillo_Tumblox_QT");
const QString LogoPath = QStringLiteral("/inneractive_logo.png");
const QString AnswerPath = QStringLiteral("/simpleM2M/clientRequestAd");
const QString UserAgent = QStringLiteral("\"Mozilla/5.0 (X11; U; Linux armv7l; fi-FI; rv:1.9.2a1pre) "
                                         "Gecko/20090928 Firefox/3.5 Maemo Browser 1.4.1.15 RX-51 N900\"");
// Links of these schemes are recorded when opened; no browser starts.
const char *const Schemes[] = {"http", "https", "file"};

// Empty strings for null ones; "-" for no client at all.
AdAnswer parsed(const QString &clientId, const QString &text, const QString &url = "", const QString &image = "")
{
    return AdAnswer{true, clientId != "-", clientId == "-" ? "" : clientId, text, url, image};
}

} // namespace

Q_DECLARE_METATYPE(AdAnswer)

class TestInnerActiveAdModule : public QObject
{
    Q_OBJECT

public:
    Q_INVOKABLE void recordOpenedUrl(const QUrl &url) { openedUrls.append(url); }

private slots:
    void initTestCase();
    void init();
    void cleanup() { delete scope; }
    void cleanupTestCase() { for (const char *scheme : Schemes) QDesktopServices::unsetUrlHandler(QLatin1String(scheme)); }

    void parse_data();
    void parse();
    void cycle_data();
    void cycle();
    void takeAnswer_data();
    void takeAnswer();
    void deviceDescription_data();
    void deviceDescription();
    void afterAd_data();
    void afterAd();

private:
    QTemporaryDir configHome;
    QWidget *scope = nullptr; // owns what one test creates
    QList<QUrl> openedUrls;
};

void TestInnerActiveAdModule::initTestCase()
{
    QVERIFY(configHome.isValid());
    // QSettings reads it on first use, which comes after this.
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(configHome.path()));
    for (const char *scheme : Schemes)
        QDesktopServices::setUrlHandler(QLatin1String(scheme), this, "recordOpenedUrl");
}

void TestInnerActiveAdModule::init()
{
    scope = new QWidget;
    QSettings(QStringLiteral("InnerActive"), AppId).setValue("cid", "abc");
    openedUrls.clear();
}

void TestInnerActiveAdModule::parse_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<AdAnswer>("expected");
    const AdAnswer corrupt;
    QTest::newRow("names in any case") << QByteArray("<Answer><cLiEnT Id=\"c1\"/><AD><Text>Play</Text><uRl>http://l/</uRl><imaGe>i.png</imaGe></AD></Answer>") << parsed("c1", "Play", "http://l/", "i.png");
    QTest::newRow("Id in another case is not read") << QByteArray("<r><client ID=\"c1\"/><client id=\"c2\"/></r>") << parsed("", "");
    QTest::newRow("last client wins") << QByteArray("<r><client Id=\"c1\"/><ad/><client Id=\"c2\"/></r>") << parsed("c2", "");
    QTest::newRow("two ads: the second wins for what it holds") << QByteArray("<r><ad><text>one</text><url>u1</url><image>i1</image></ad><ad><text>two</text><image>i2</image></ad></r>") << parsed("-", "two", "u1", "i2");
    QTest::newRow("a later empty element empties its field") << QByteArray("<r><ad><text>one</text><text/><url>u</url><url></url></ad></r>") << parsed("-", "");
    QTest::newRow("text is all text inside, untrimmed") << QByteArray("<r><ad><text>  Play <b>now</b>! </text></ad></r>") << parsed("-", "  Play now! ");
    QTest::newRow("elements at other depths are ignored") << QByteArray("<r><x><client Id=\"deep\"/><ad><text>x</text></ad></x><ad><x><text>x</text></x></ad><text>top</text></r>") << parsed("-", "");
    QTest::newRow("comments and text between elements") << QByteArray("<r>hello<!-- c --><ad>x<!-- c --><text>t</text></ad></r>") << parsed("-", "t");
    QTest::newRow("empty body") << QByteArray() << corrupt;
    QTest::newRow("not XML") << QByteArray("Service unavailable") << corrupt;
    QTest::newRow("unclosed element") << QByteArray("<r><ad><text>t</text></r>") << corrupt;
    // Entities could expand without bound; no answer needs a document type.
    QTest::newRow("document type") << QByteArray("<!DOCTYPE r><r><ad><text>t</text></ad></r>") << corrupt;
    // Parsing time grows with the square of nesting and attributes; the size bounds it.
    QTest::newRow("16 KiB") << "<r/><!--" + QByteArray(16 * 1024 - 11, 'x') + "-->" << parsed("-", "");
    QTest::newRow("16 KiB + 1") << "<r/><!--" + QByteArray(16 * 1024 - 10, 'x') + "-->" << corrupt;
}

void TestInnerActiveAdModule::parse()
{
    QFETCH(QByteArray, body);
    QFETCH(AdAnswer, expected);
    QCOMPARE(AdAnswer::parse(body), expected);
    // Each field counts in the comparison, or the row could not fail.
    for (QString AdAnswer::*field : {&AdAnswer::clientId, &AdAnswer::text, &AdAnswer::url, &AdAnswer::image}) {
        AdAnswer other = expected;
        other.*field += u'x';
        QVERIFY(AdAnswer::parse(body) != other);
    }
}

void TestInnerActiveAdModule::cycle_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("keywords"); // sent in the first ad request
    QTest::addColumn<int>("reload"); // seconds given to the client
    QTest::addColumn<QString>("outcome"); // the one report: "ready", "corrupted" or "failed"
    QTest::addColumn<int>("exchanges");
    QTest::addColumn<int>("reloadMs"); // 0: the reload timer is not running
    QTest::addColumn<QString>("retryPath"); // where the next requestAd() starts

    const auto once = [](const char *mode) { return QStringList{"--fault", mode, "--fault-count", "1"}; };
    QTest::newRow("delimiters, percent signs, non-ASCII") << QStringList() << "a&b=c&= 1 + 1 #top?x=/y;z@w:v[0] 100%25 %zz % äänet €, 遊戲" << 60 << "ready" << 3 << 60000 << AnswerPath;
    QTest::newRow("256-character value") << QStringList() << QString(256, u'k') << 60 << "ready" << 3 << 60000 << AnswerPath;
    QTest::newRow("no reload") << QStringList() << "" << 0 << "ready" << 3 << 0 << AnswerPath;
    QTest::newRow("reload after 1 s, by itself") << QStringList() << "" << 1 << "ready" << 3 << 1000 << AnswerPath;
    QTest::newRow("reload of 86400 s") << QStringList() << "" << 86400 << "ready" << 3 << 86400000 << AnswerPath;
    QTest::newRow("reload of 86401 s") << QStringList() << "" << 86401 << "ready" << 3 << 120000 << AnswerPath;
    QTest::newRow("malformed") << once("malformed") << "" << 60 << "corrupted" << 2 << 0 << AnswerPath;
    QTest::newRow("local image, script link") << once("bad-scheme") << "" << 60 << "corrupted" << 2 << 0 << AnswerPath;
    QTest::newRow("redirect followed") << once("redirect") << "" << 60 << "ready" << 4 << 60000 << AnswerPath;
    QTest::newRow("answer of 16 KiB") << QStringList{"--answer-size", "16384"} << "" << 60 << "ready" << 3 << 60000 << AnswerPath;
    QTest::newRow("answer over 16 KiB") << once("big-answer") << "" << 60 << "corrupted" << 2 << 0 << AnswerPath;
    QTest::newRow("answer without end") << once("endless") << "" << 60 << "corrupted" << 2 << 0 << AnswerPath;
    QTest::newRow("answer status 500") << once("http-error") << "" << 60 << "failed" << 2 << 0 << AnswerPath;
    QTest::newRow("answer never sent") << once("hang") << "" << 60 << "failed" << 2 << 0 << AnswerPath;
    QTest::newRow("image over 2 MiB") << once("oversize") << "" << 60 << "failed" << 3 << 0 << AnswerPath;
    QTest::newRow("logo status 500") << QStringList{"--fault", "http-error"} << "" << 60 << "failed" << 1 << 0 << LogoPath;
    QTest::newRow("logo without end") << QStringList{"--fault", "endless"} << "" << 60 << "failed" << 1 << 0 << LogoPath;
}

// One report per cycle; the next request starts over at the failed logo, else
// at the ad. Ad request values arrive intact, in order, empty ones left out.
void TestInnerActiveAdModule::cycle()
{
    QFETCH(QStringList, args);
    QFETCH(QString, keywords);
    QFETCH(int, reload);
    QFETCH(QString, outcome);
    QFETCH(int, exchanges);
    QFETCH(int, reloadMs);
    QFETCH(QString, retryPath);

    AdServerProcess server(args, AdServerProcess::KeepLog);
    // The slash is trimmed, or every path would begin with two.
    qputenv("TUMBLOX_AD_SERVER", (server.url() + u'/').toUtf8());
    auto *module = new InnerActiveAdModule(scope, AppId, reload);
    module->setAdParameter(0, QStringLiteral("642"));
    module->setAdParameter(6, QStringLiteral("Games"));
    QCOMPARE(module->setAdParameter(5, keywords), 1);
    QCOMPARE(module->setAdParameter(5, QString(257, u'k')), -2);
    QCOMPARE(module->setAdParameter(9, QStringLiteral("x")), 1); // out of range: dropped
    QCOMPARE(module->setAdParameter(-1, QStringLiteral("x")), 1);
    QSignalSpy ready(module, &InnerActiveAdModule::adDataReady);
    QSignalSpy corrupted(module, &InnerActiveAdModule::adDataCorrupted);
    QSignalSpy errors(module, &InnerActiveAdModule::networkError);
    QCOMPARE(module->requestAd(), 1);
    // Busy comes first, and nothing in flight is disturbed.
    QCOMPARE(module->requestAd(), -1);
    QCOMPARE(module->setAdParameter(6, QStringLiteral("Puzzles")), -1);
    QCOMPARE(module->showAdDialog(scope, 10, "Skip in", "Skip", "Click", true, false), -1);
    QCOMPARE(module->updateAdWidget(nullptr), -1);
    QCOMPARE((new InnerActiveAdModule(scope, QString(), 60))->requestAd(), -3);
    if (args.contains(QStringLiteral("hang"))) { // the time limit ends the wait, here at once
        QTRY_COMPARE_WITH_TIMEOUT(server.requests().size(), exchanges, 10000);
        QVERIFY(module->exchangeTimer->isActive());
        QVERIFY(QMetaObject::invokeMethod(module->exchangeTimer, "timeout"));
    }
    QSignalSpy &report = outcome == "ready" ? ready : outcome == "corrupted" ? corrupted : errors;
    QVERIFY(!report.isEmpty() || report.wait(10000));

    const QList<int> reports = {outcome == "ready", outcome == "corrupted", outcome == "failed"};
    QCOMPARE(QList<int>({int(ready.count()), int(corrupted.count()), int(errors.count())}), reports);
    QCOMPARE(module->adReady, outcome == "ready");
    QCOMPARE(module->logoBytes.startsWith("\x89PNG"), retryPath == AnswerPath);
    QCOMPARE(module->adImageBytes.isEmpty(), outcome != "ready");
    QCOMPARE(module->reloadTimer->isActive() ? module->reloadTimer->interval() : 0, reloadMs);
    module->reloadTimer->stop(); // fired below where it matters, so no reload comes in between
    QTRY_COMPARE_WITH_TIMEOUT(server.requests().size(), exchanges, 10000);
    QTRY_VERIFY(module->networkManager.findChildren<QNetworkReply *>().isEmpty()); // no reply kept per exchange

    if (reloadMs == 1000)
        QVERIFY(QMetaObject::invokeMethod(module->reloadTimer, "timeout"));
    else
        QCOMPARE(module->requestAd(), 1);
    // Served normally from there on, but for a failing logo.
    QVERIFY((retryPath == AnswerPath ? ready : errors).wait(10000));
    if (retryPath == AnswerPath)
        QCOMPARE(ready.count(), outcome == "ready" ? 2 : 1);
    QTRY_VERIFY_WITH_TIMEOUT(server.requests().size() > exchanges, 10000);
    QCOMPARE(server.requests().at(exchanges).section(u' ', 1, 1).section(u'?', 0, 0), retryPath);
    for (const QString &line : server.requests())
        QVERIFY2(line.startsWith(QLatin1String("GET ")) && line.endsWith(UserAgent), qPrintable(line));
    if (exchanges < 2)
        return;
    // As composed; Qt would send a doubled slash as one.
    QCOMPARE(module->requestUrl.path(), AnswerPath);

    using Item = QPair<QString, QString>;
    QList<Item> expected = {{"aid", AppId}, {"v", "Sm2m-1.5.2-QT_1.5.2"}, {"o", "true"}, {"po", "642"}, {"cid", "abc"}};
    if (!keywords.isEmpty())
        expected.append(Item("k", keywords));
    expected.append(Item("c", "Games"));
    // An unencoded "+" reads as a space, as a server reading a form takes it.
    const QString query = server.requests().at(1).section(u' ', 1, 1).section(u'?', 1).replace(u'+', QStringLiteral("%20"));
    QList<Item> sent = QUrlQuery(query).queryItems(QUrl::FullyDecoded);
    const Item time = sent.takeLast();
    QCOMPARE(sent, expected);
    QCOMPARE(time.first, QStringLiteral("time"));
    QVERIFY2(qAbs(time.second.toLongLong() - QDateTime::currentSecsSinceEpoch()) < 60, qPrintable(time.second));
}

void TestInnerActiveAdModule::takeAnswer_data()
{
    QTest::addColumn<QByteArray>("file"); // the settings file before
    QTest::addColumn<QByteArray>("client");
    QTest::addColumn<QString>("storedAfter"); // "untouched" when nothing was written
    QTest::addColumn<QString>("heldAfter");

    const auto file = [](const QByteArray &cid) { return "[General]\ncid=" + cid + "\nkeep=1\n"; };
    const QString id256(256, u'x');
    QTest::newRow("changed id") << file("abc") << QByteArray("<CLIENT Id=\"xyz\"/>") << "xyz" << "xyz";
    QTest::newRow("same id is not written again") << file("abc") << QByteArray("<client Id=\"abc\"/>") << "untouched" << "abc";
    QTest::newRow("Id absent while one is held") << file("abc") << QByteArray("<client/>") << "" << "";
    QTest::newRow("no client element") << file("abc") << QByteArray() << "untouched" << "abc";
    QTest::newRow("stored id over 256 characters") << file(QByteArray(257, 'k')) << QByteArray() << "untouched" << "";
    QTest::newRow("answered id of 256 characters") << file("abc") << "<client Id=\"" + id256.toLatin1() + "\"/>" << id256 << id256;
    QTest::newRow("answered id over 256 characters") << file("abc") << "<client Id=\"x" + id256.toLatin1() + "\"/>" << "untouched" << "abc";
    QTest::newRow("garbage around another key") << QByteArray("\x01\x02 junk ]\n[General]\nkeep=1\n[unclosed\n\xff\xfe\n")
                                                 << QByteArray("<client Id=\"def\"/>") << "def" << "def";
}

// The id is written only on a change and only if requests can carry it; a stored one too long
// to send is not held, but kept. A corrupt file stops nothing, and its other keys stay.
void TestInnerActiveAdModule::takeAnswer()
{
    QFETCH(QByteArray, file);
    QFETCH(QByteArray, client);
    QFETCH(QString, storedAfter);
    QFETCH(QString, heldAfter);

    // A file of its own per row: QSettings keeps what it read for the process.
    const QString appId = AppId + u' ' + QLatin1String(QTest::currentDataTag());
    const QString stored = configHome.filePath(QStringLiteral("InnerActive/") + appId + QStringLiteral(".conf"));
    QVERIFY(QDir().mkpath(QFileInfo(stored).path()) && writeFile(stored, file));
    QSettings settings(QStringLiteral("InnerActive"), appId);
    const QVariant before = settings.value("cid");
    auto *module = new InnerActiveAdModule(scope, appId, 60);
    QCOMPARE(settings.value("cid"), before);
    settings.setValue("cid", "untouched");
    QVERIFY(!module->takeAnswer("<r>" + client + "<ad><image>http://x/a.png</image></ad></r>").isEmpty());
    QCOMPARE(settings.value("cid").toString(), storedAfter);
    QCOMPARE(module->clientId, heldAfter);
    settings.sync();
    QVERIFY(readFile(stored).split('\n').contains("keep=1"));
}

void TestInnerActiveAdModule::deviceDescription_data()
{
    QTest::addColumn<QByteArray>("product"); // null: no such file
    QTest::addColumn<QString>("expected");

    const auto utf16 = [](const QString &text) -> QByteArray {
        return QStringEncoder(QStringConverter::Utf16LE, QStringConverter::Flag::WriteBom).encode(text);
    };
    QTest::newRow("maker and model, Windows style") << utf16("Manufacturer=Nokia\r\nModel=N900\r\n") << "Nokia N900";
    QTest::newRow("maker not on the first line") << utf16("Version=1\r\nManufacturer=Nokia\r\n") << QString();
    QTest::newRow("model file only") << QByteArray() << "RX-51 N900";
}

void TestInnerActiveAdModule::deviceDescription()
{
    QFETCH(QByteArray, product);
    QFETCH(QString, expected);

    QTemporaryDir root;
    const QString versions = root.filePath(QStringLiteral("z:/resource/versions/"));
    QVERIFY(QDir().mkpath(versions));
    QVERIFY(product.isNull() || writeFile(versions + "product.txt", product));
    QVERIFY(writeFile(versions + "model.txt", QStringEncoder(QStringConverter::Utf16LE).encode(QStringLiteral("RX-51 N900"))));

    const QString previous = QDir::currentPath();
    QVERIFY(QDir::setCurrent(root.path()));
    const QString description = InnerActiveAdModule(nullptr, AppId, 60).deviceDescription();
    QVERIFY(QDir::setCurrent(previous));
    QCOMPARE(description, expected);
}

void TestInnerActiveAdModule::afterAd_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("link");
    QTest::addColumn<bool>("opened"); // else nothing reaches the desktop
    QTest::addColumn<bool>("newRequest"); // else the full reload interval runs again

    QTest::newRow("banner, web link") << "banner" << "http://example.com/play?x=1&y=2" << true << true;
    QTest::newRow("banner, file link") << "banner" << "file:///etc/passwd" << false << true;
    QTest::newRow("openAdLink, capital scheme") << "openAdLink" << "HTTPS://example.com/" << true << true;
    QTest::newRow("openAdLink, no host") << "openAdLink" << "http:///x" << false << true;
    QTest::newRow("dialog followed") << "btnRight" << "https://example.com/" << true << true;
    QTest::newRow("dialog followed, file link") << "btnRight" << "file:///etc/passwd" << false << true;
    QTest::newRow("dialog skipped") << "btnLeft" << "https://example.com/" << false << false;
    QTest::newRow("parent deleted under the dialog") << "delete parent" << "https://example.com/" << false << false;
    QTest::newRow("owner deleted under the dialog") << "delete owner" << "https://example.com/" << false << false;
}

// Following the ad by banner, openAdLink() or dialog opens only web links and
// asks for a new ad at once; the ad shown in the dialog is not replaced.
void TestInnerActiveAdModule::afterAd()
{
    QFETCH(QString, action);
    QFETCH(QString, link);
    QFETCH(bool, opened);
    QFETCH(bool, newRequest);

    AdServerProcess server;
    QPointer<QWidget> parent = new QWidget(scope);
    qputenv("TUMBLOX_AD_SERVER", server.url().toUtf8());
    QPointer<InnerActiveAdModule> module = new InnerActiveAdModule(scope, AppId, 60);
    if (action == "delete owner") // as the board owns it
        module->setParent(parent);
    InnerActiveAdWidget *widget = module->createAdWidget(parent, true);
    QCOMPARE(module->openAdLink(), -4);
    QCOMPARE(module->updateAdWidget(nullptr), -4); // before the missing widget
    QCOMPARE(module->showAdDialog(parent, 10, "Skip in", "Skip", "Click", true, false), -4);
    QSignalSpy ready(module.data(), &InnerActiveAdModule::adDataReady);
    QCOMPARE(module->requestAd(), 1);
    QVERIFY(ready.wait(10000));
    QCOMPARE(module->updateAdWidget(nullptr), -5);
    module->adLinkText = link;
    QCOMPARE(module->updateAdWidget(widget), 1);
    QCOMPARE(widget->findChild<QLabel *>("lblAdTextCtrl")->text(), module->adText.left(30) + "...");
    QSignalSpy reloads(module.data(), &InnerActiveAdModule::startReloadAd);

    bool reloadStoppedWhileShown = true;
    if (action == "banner") {
        QTest::mouseClick(widget, Qt::LeftButton);
    } else if (action == "openAdLink") {
        QCOMPARE(module->openAdLink(), 1);
    } else {
        QTimer::singleShot(0, this, [&] { // in the dialog's modal loop
            reloadStoppedWhileShown = !module->reloadTimer->isActive();
            if (action.startsWith("delete"))
                delete parent;
            else
                QApplication::activeModalWidget()->findChild<QPushButton *>(action)->click();
        });
        // Without a left text, the buttons fall back to skipping on the left.
        QCOMPARE(module->showAdDialog(parent, 10, "Skip in", "", "Go", false, false), 1);
    }
    QVERIFY(reloadStoppedWhileShown);
    QCOMPARE(openedUrls, opened ? QList<QUrl>({QUrl(link)}) : QList<QUrl>());
    QCOMPARE(module.isNull(), action == "delete owner");
    if (!module)
        return;
    QCOMPARE(reloads.count(), newRequest ? 1 : 0);
    QCOMPARE(module->adReady, !newRequest);
    QCOMPARE(module->reloadTimer->remainingTime() > 59000, !newRequest);
}

QTEST_MAIN(TestInnerActiveAdModule)

#include "tst_inneractiveadmodule.moc"
