// SPDX-FileCopyrightText: 2026 The Tumblox developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "adanswer.h"

#include <QTest>

Q_DECLARE_METATYPE(AdAnswer)

namespace {

// Empty strings for null ones; "-" for no client at all.
AdAnswer parsed(const QString &clientId, const QString &text, const QString &url = "", const QString &image = "")
{
    return AdAnswer{true, clientId != "-", clientId == "-" ? "" : clientId, text, url, image};
}

} // namespace

class TestAdAnswer : public QObject
{
    Q_OBJECT

private slots:
    void parse_data();
    void parse();
};

void TestAdAnswer::parse_data()
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

void TestAdAnswer::parse()
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

QTEST_APPLESS_MAIN(TestAdAnswer)
#include "tst_adanswer.moc"
