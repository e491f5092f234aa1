// SPDX-FileCopyrightText: 2026 The Tumblox developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "adanswer.h"

#include <QTest>

Q_DECLARE_METATYPE(AdAnswer)

namespace QTest {
template<>
char *toString(const AdAnswer &answer)
{
    return qstrdup(QStringLiteral("ok=%1 client=%2 \"%3\" text=\"%4\" url=\"%5\" image=\"%6\"")
                       .arg(answer.ok)
                       .arg(answer.hasClient)
                       .arg(answer.clientId, answer.text, answer.url, answer.image)
                       .toUtf8()
                       .constData());
}
} // namespace QTest

namespace {

AdAnswer parsed(const QString &clientId, const QString &text, const QString &url,
                const QString &image, bool hasClient = true)
{
    AdAnswer answer;
    answer.ok = true;
    answer.hasClient = hasClient;
    answer.clientId = clientId;
    answer.text = text;
    answer.url = url;
    answer.image = image;
    return answer;
}

const AdAnswer Corrupt;

QByteArray nestedEntities(int levels, int copies)
{
    QByteArray dtd = "<!ENTITY e0 \"lol\">";
    for (int level = 1; level <= levels; ++level) {
        QByteArray value;
        for (int i = 0; i < copies; ++i)
            value += "&e" + QByteArray::number(level - 1) + ';';
        dtd += "<!ENTITY e" + QByteArray::number(level) + " \"" + value + "\">";
    }
    return "<?xml version=\"1.0\"?><!DOCTYPE r [" + dtd + "]><r><ad><text>&e"
        + QByteArray::number(levels) + ";</text></ad></r>";
}

const QByteArray SmallAd = "<r><ad><text>Play</text><image>http://i/a.png</image></ad></r>";

// A well-formed answer of exactly size bytes.
QByteArray padded(qsizetype size)
{
    const qsizetype filler = size - SmallAd.size() - 7;
    return SmallAd + "<!--" + QByteArray(filler, 'x') + "-->";
}

QByteArray deepNesting(int depth)
{
    return "<r><ad><text>" + QByteArray("<a>").repeated(depth) + QByteArray("</a>").repeated(depth)
        + "</text><image>http://i/a.png</image></ad></r>";
}

QByteArray manyAttributes(int count)
{
    QByteArray attributes;
    for (int i = 0; i < count; ++i)
        attributes += " a" + QByteArray::number(i) + "=\"\"";
    return "<r" + attributes + "><ad><image>http://i/a.png</image></ad></r>";
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

    QTest::newRow("lower case")
        << QByteArray("<r><client Id=\"c1\"/><ad><text>Play</text><url>http://l/</url>"
                      "<image>http://i/a.png</image></ad></r>")
        << parsed("c1", "Play", "http://l/", "http://i/a.png");
    QTest::newRow("capitals")
        << QByteArray("<R><CLIENT Id=\"c1\"/><AD><TEXT>Play</TEXT><URL>http://l/</URL>"
                      "<IMAGE>http://i/a.png</IMAGE></AD></R>")
        << parsed("c1", "Play", "http://l/", "http://i/a.png");
    QTest::newRow("mixed case")
        << QByteArray("<Answer><cLiEnT Id=\"c1\"/><Ad><Text>Play</Text><uRl>http://l/</uRl>"
                      "<imaGe>http://i/a.png</imaGe></Ad></Answer>")
        << parsed("c1", "Play", "http://l/", "http://i/a.png");
    QTest::newRow("Id in another case is not read")
        << QByteArray("<r><client ID=\"c1\"/><client id=\"c2\"/></r>") << parsed("", "", "", "");
    QTest::newRow("last client wins")
        << QByteArray("<r><client Id=\"c1\"/><ad/><client Id=\"c2\"/></r>")
        << parsed("c2", "", "", "");
    QTest::newRow("two ads: the second wins for what it holds")
        << QByteArray("<r><ad><text>one</text><url>http://one/</url><image>i1</image></ad>"
                      "<ad><text>two</text><image>i2</image></ad></r>")
        << parsed("", "two", "http://one/", "i2", false);
    QTest::newRow("a later empty element empties its field")
        << QByteArray("<r><ad><text>one</text><text/><url>u</url><url></url></ad></r>")
        << parsed("", "", "", "", false);
    QTest::newRow("text is all text inside, untrimmed")
        << QByteArray("<r><ad><text>  Play <b>now</b>! </text></ad></r>")
        << parsed("", "  Play now! ", "", "", false);
    QTest::newRow("elements at other depths are ignored")
        << QByteArray("<r><x><client Id=\"deep\"/><ad><text>deep</text></ad></x>"
                      "<ad><x><text>deep</text></x><ad><url>deep</url></ad></ad>"
                      "<text>top</text></r>")
        << parsed("", "", "", "", false);
    QTest::newRow("comments and text between elements")
        << QByteArray("<r>hello<!-- c --><ad>x<!-- c --><text>t</text></ad></r>")
        << parsed("", "t", "", "", false);

    QTest::newRow("empty body") << QByteArray() << Corrupt;
    QTest::newRow("not XML") << QByteArray("Service unavailable") << Corrupt;
    QTest::newRow("unclosed element") << QByteArray("<r><ad><text>t</text></r>") << Corrupt;
    QTest::newRow("billion laughs") << nestedEntities(10, 10) << Corrupt;
    QTest::newRow("quadratic blow-up")
        << QByteArray("<!DOCTYPE r [<!ENTITY a \"" + QByteArray(4000, 'a') + "\">]><r><ad><text>"
                      + QByteArray("&a;").repeated(20000) + "</text></ad></r>")
        << Corrupt;
    QTest::newRow("external entity")
        << QByteArray("<!DOCTYPE r [<!ENTITY x SYSTEM \"file:///etc/passwd\">]>"
                      "<r><ad><text>&x;</text></ad></r>")
        << Corrupt;
    QTest::newRow("document type without entities")
        << QByteArray("<!DOCTYPE r><r><ad><text>t</text></ad></r>") << Corrupt;

    // Parsing time grows with the square of these; only the size bounds it.
    const AdAnswer smallAd = parsed("", "Play", "", "http://i/a.png", false);
    QTest::newRow("16 KiB") << padded(16 * 1024) << smallAd;
    QTest::newRow("16 KiB + 1") << padded(16 * 1024 + 1) << Corrupt;
    QTest::newRow("nesting within the bound")
        << deepNesting(1000) << parsed("", "", "", "http://i/a.png", false);
    QTest::newRow("nesting of 256 KiB") << deepNesting(37000) << Corrupt;
    QTest::newRow("attributes of 256 KiB") << manyAttributes(25000) << Corrupt;
}

void TestAdAnswer::parse()
{
    QFETCH(QByteArray, body);
    QFETCH(AdAnswer, expected);

    QCOMPARE(AdAnswer::parse(body), expected);
}

QTEST_APPLESS_MAIN(TestAdAnswer)

#include "tst_adanswer.moc"
