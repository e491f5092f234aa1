// SPDX-FileCopyrightText: 2026 The Tumblox developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "adanswer.h"

#include <QDomDocument>
#include <QXmlStreamReader>

// Qt's XML parsing is quadratic in nesting and attributes; real answers are a few hundred bytes.
const qsizetype AdAnswer::MaxSize = 16 * 1024;

namespace {

bool isNamed(const QDomElement &element, QLatin1String name)
{
    return element.tagName().compare(name, Qt::CaseInsensitive) == 0;
}

// The DOM expands internal entities without bound, so a few hundred bytes of
// nested entities could take gigabytes. Ad answers never need a DTD.
bool declaresDocumentType(const QByteArray &body)
{
    QXmlStreamReader reader(body);
    while (!reader.atEnd()) {
        switch (reader.readNext()) {
        case QXmlStreamReader::DTD:
            return true;
        case QXmlStreamReader::StartElement:
            return false; // a DTD may only come before the document element
        default:
            break;
        }
    }
    return false;
}

void readAd(const QDomElement &ad, AdAnswer &answer)
{
    for (QDomElement field = ad.firstChildElement(); !field.isNull();
         field = field.nextSiblingElement()) {
        if (isNamed(field, QLatin1String("text")))
            answer.text = field.text();
        else if (isNamed(field, QLatin1String("url")))
            answer.url = field.text();
        else if (isNamed(field, QLatin1String("image")))
            answer.image = field.text();
    }
}

} // namespace

AdAnswer AdAnswer::parse(const QByteArray &body)
{
    AdAnswer answer;
    if (body.size() > MaxSize)
        return answer;
    QDomDocument document(QStringLiteral("ia_dom_document"));
    if (declaresDocumentType(body) || !document.setContent(body, true))
        return answer;

    answer.ok = true;
    const QDomElement root = document.documentElement();
    for (QDomElement child = root.firstChildElement(); !child.isNull();
         child = child.nextSiblingElement()) {
        if (isNamed(child, QLatin1String("client"))) {
            answer.hasClient = true;
            answer.clientId = child.attribute(QStringLiteral("Id"));
        } else if (isNamed(child, QLatin1String("ad"))) {
            readAd(child, answer);
        }
    }
    return answer;
}

bool AdAnswer::operator==(const AdAnswer &other) const
{
    return ok == other.ok && hasClient == other.hasClient && clientId == other.clientId
        && text == other.text && url == other.url && image == other.image;
}
