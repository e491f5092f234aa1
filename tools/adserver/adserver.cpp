// SPDX-FileCopyrightText: 2026 The Tumblox developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "adserver.h"

#include "boundedtcpserver.h"

#include <QFile>
#include <QHttpServerRequest>
#include <QMetaEnum>
#include <QRegularExpression>
#include <QTcpSocket>
#include <QTimer>
#include <QUrlQuery>
#include <QUuid>
#include <QXmlStreamWriter>

#include <array>
#include <cstdio>

namespace {

struct HouseAd
{
    const char *text;
    const char *image;
};

const std::array<HouseAd, 3> houseAds{{
    {"Tumblox Gold: seven colours, no waiting", "/ads/ad1.png"},
    {"Stack smarter: the Tumblox strategy guide", "/ads/ad2.png"},
    {"Cascades in motion: watch the combo reel", "/ads/ad3.gif"},
}};

const std::array<std::pair<AdServer::Fault, const char *>, 11> faultTable{{
    {AdServer::Fault::NoFill, "no-fill"},
    {AdServer::Fault::Malformed, "malformed"},
    {AdServer::Fault::HttpError, "http-error"},
    {AdServer::Fault::Hang, "hang"},
    {AdServer::Fault::Oversize, "oversize"},
    {AdServer::Fault::BadScheme, "bad-scheme"},
    {AdServer::Fault::Truncate, "truncate"},
    {AdServer::Fault::Redirect, "redirect"},
    {AdServer::Fault::BigAnswer, "big-answer"},
    {AdServer::Fault::Endless, "endless"},
    {AdServer::Fault::Status, "status"},
}};

const QString adRequestPath = QStringLiteral("/simpleM2M/clientRequestAd");
const QString oversizePath = QStringLiteral("/ads/oversize.png");
const QString movedPrefix = QStringLiteral("/moved");
// Comfortably over the client's 2 MiB image limit.
constexpr qsizetype oversizeBytes = 3 * 1024 * 1024;
// One byte over the client's limit for an ad answer.
constexpr qsizetype bigAnswerBytes = 16 * 1024 + 1;
constexpr qsizetype endlessChunkBytes = 16 * 1024;

QByteArray reasonPhrase(int status)
{
    switch (status) {
    case 200: return "OK";
    case 204: return "No Content";
    case 300: return "Multiple Choices";
    case 302: return "Found";
    case 304: return "Not Modified";
    case 404: return "Not Found";
    case 405: return "Method Not Allowed";
    case 500: return "Internal Server Error";
    default: return "Injected Status";
    }
}

// HTTP gives these answers no body.
bool hasBody(int status)
{
    return status != 204 && status != 304;
}

void printLine(const QString &line)
{
    std::fprintf(stdout, "%s\n", line.toUtf8().constData());
    std::fflush(stdout);
}

// Control characters would split or garble the one-line log entry.
QString printable(const QByteArray &text)
{
    QString result = QString::fromLatin1(text);
    for (QChar &c : result) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7f)
            c = u'?';
    }
    return result;
}

void logRequest(const QHttpServerRequest &request)
{
    const QByteArray method = QMetaEnum::fromType<QHttpServerRequest::Method>()
                                  .valueToKey(int(request.method()));
    const QUrl url = request.url();
    QString target = url.path(QUrl::FullyEncoded);
    if (url.hasQuery())
        target += u'?' + url.query(QUrl::FullyEncoded);
    printLine(QStringLiteral("%1 %2 \"%3\"")
                  .arg(printable(method.toUpper()), printable(target.toLatin1()),
                       printable(request.value("User-Agent"))));
}

// Ids this server hands out; anything else gets a fresh one.
bool isClientId(const QString &cid)
{
    static const QRegularExpression shape(QStringLiteral("^[A-Za-z0-9._-]{1,64}$"));
    return shape.match(cid).hasMatch();
}

QString clientIdFor(const QHttpServerRequest &request)
{
    const QString cid = request.query().queryItemValue(QStringLiteral("cid"), QUrl::FullyDecoded);
    return isClientId(cid) ? cid : QUuid::createUuid().toString(QUuid::WithoutBraces);
}

QByteArray landingPage(int number, const HouseAd &ad)
{
    return QStringLiteral("<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\">"
                          "<title>Tumblox house ad %1</title></head>\n"
                          "<body><h1>%2</h1><p>A house ad of the Tumblox development ad server.</p>"
                          "</body></html>\n")
        .arg(number)
        .arg(QString::fromUtf8(ad.text).toHtmlEscaped())
        .toUtf8();
}

} // namespace

std::optional<AdServer::Fault> AdServer::faultFromName(const QString &name)
{
    for (const auto &[fault, faultName] : faultTable) {
        if (name == QLatin1String(faultName))
            return fault;
    }
    return std::nullopt;
}

QStringList AdServer::faultNames()
{
    QStringList names;
    for (const auto &entry : faultTable)
        names << QString::fromLatin1(entry.second);
    return names;
}

AdServer::AdServer(Fault fault, int delayMs, int faultCount, qsizetype answerSize, QObject *parent)
    : QAbstractHttpServer(parent)
    , faultMode(fault)
    , delayMs(delayMs)
    , answerSize(answerSize)
    , faultsLeft(faultCount)
{
    addFile(QStringLiteral("/inneractive_logo.png"), QStringLiteral(":/assets/logo.png"), "image/png");
    addFile(QStringLiteral("/ads/ad1.png"), QStringLiteral(":/assets/ad1.png"), "image/png");
    addFile(QStringLiteral("/ads/ad2.png"), QStringLiteral(":/assets/ad2.png"), "image/png");
    addFile(QStringLiteral("/ads/ad3.gif"), QStringLiteral(":/assets/ad3.gif"), "image/gif");
    addLandingPages();
    if (fault == Fault::Oversize)
        addOversizeImage();
}

void AdServer::setFaultStatus(int status)
{
    faultStatus = status;
}

void AdServer::setFaultPath(const QString &path)
{
    faultPath = path;
}

bool AdServer::listen(quint16 requestedPort)
{
    auto *server = new BoundedTcpServer(this);
    if (!server->listen(QHostAddress::LocalHost, requestedPort)) {
        delete server;
        return false;
    }
    port = server->serverPort();
    bind(server);
    return true;
}

QUrl AdServer::address() const
{
    QUrl url;
    url.setScheme(QStringLiteral("http"));
    url.setHost(QStringLiteral("127.0.0.1"));
    url.setPort(port);
    return url;
}

void AdServer::addFile(const QString &path, const QString &resource, const QByteArray &mimeType)
{
    QFile file(resource);
    file.open(QIODevice::ReadOnly);
    files.insert(path, Reply{200, mimeType, file.readAll(), {}});
}

void AdServer::addLandingPages()
{
    for (int i = 0; i < int(houseAds.size()); ++i) {
        files.insert(QStringLiteral("/landing/%1").arg(i + 1),
                     Reply{200, "text/html; charset=utf-8", landingPage(i + 1, houseAds[i]), {}});
    }
}

// A real picture padded past the limit, so a client that ignores the limit
// still decodes it.
void AdServer::addOversizeImage()
{
    QByteArray image = files.value(QStringLiteral("/ads/ad1.png")).body;
    image.append(oversizeBytes - image.size(), '\0');
    files.insert(oversizePath, Reply{200, "image/png", image, {}});
}

bool AdServer::handleRequest(const QHttpServerRequest &request, QTcpSocket *socket)
{
    BoundedTcpServer::requestArrived(socket);
    logRequest(request);
    const Fault fault = faultFor(request);
    if (fault == Fault::Hang)
        return true;
    if (fault == Fault::Endless) {
        stream(socket);
        return true;
    }
    const std::optional<Reply> reply = answer(request, fault);
    if (!reply)
        return false;
    respond(socket, *reply, fault == Fault::Truncate);
    return true;
}

// A path picks the requests that meet the fault, else a count picks the ad
// requests; with a count, only that many of them meet it. The rest of the
// traffic is served normally throughout.
AdServer::Fault AdServer::faultFor(const QHttpServerRequest &request)
{
    const QString path = request.url().path();
    if (!faultPath.isEmpty() ? !path.startsWith(faultPath) : faultsLeft >= 0 && path != adRequestPath)
        return Fault::None;
    if (faultsLeft == 0)
        return Fault::None;
    if (faultsLeft > 0)
        --faultsLeft;
    return faultMode;
}

void AdServer::missingHandler(const QHttpServerRequest &, QTcpSocket *socket)
{
    respond(socket, Reply{404, "text/plain", "Not found\n", {}}, false);
}

std::optional<AdServer::Reply> AdServer::answer(const QHttpServerRequest &request, Fault fault)
{
    if (request.method() != QHttpServerRequest::Method::Get)
        return Reply{405, "text/plain", "Only GET is served\n", {}};
    if (fault == Fault::HttpError)
        return Reply{500, "text/plain", "Injected server error\n", {}};
    if (fault == Fault::Status) {
        const QByteArray page = "<!DOCTYPE html>\n<html><body><p>Status " + QByteArray::number(faultStatus)
                                + " from the Tumblox development ad server</p></body></html>\n";
        return Reply{faultStatus, "text/html; charset=utf-8", hasBody(faultStatus) ? page : QByteArray(), {}};
    }
    const QString path = request.url().path();
    if (path.startsWith(movedPrefix + u'/'))
        return route(path.mid(movedPrefix.size()), request, fault);
    if (fault == Fault::Redirect)
        return redirect(request);
    return route(path, request, fault);
}

std::optional<AdServer::Reply> AdServer::route(const QString &path, const QHttpServerRequest &request,
                                               Fault fault)
{
    if (path == adRequestPath)
        return Reply{200, "text/xml; charset=utf-8", adAnswer(request, fault), {}};
    const auto file = files.constFind(path);
    if (file == files.cend())
        return std::nullopt;
    return *file;
}

AdServer::Reply AdServer::redirect(const QHttpServerRequest &request) const
{
    QUrl target = baseUrl(request);
    target.setPath(movedPrefix + request.url().path());
    target.setQuery(request.url().query(QUrl::FullyEncoded), QUrl::StrictMode);
    const QByteArray location = target.toEncoded();
    return Reply{302, "text/plain", "Moved to " + location + '\n', location};
}

QByteArray AdServer::adAnswer(const QHttpServerRequest &request, Fault fault)
{
    QByteArray body;
    QXmlStreamWriter xml(&body);
    xml.setAutoFormatting(true);
    xml.writeStartDocument();
    xml.writeStartElement(QStringLiteral("Response"));
    xml.writeEmptyElement(QStringLiteral("client"));
    xml.writeAttribute(QStringLiteral("Id"), clientIdFor(request));
    if (fault != Fault::NoFill)
        writeAd(xml, baseUrl(request), fault);
    xml.writeEndElement();
    xml.writeEndDocument();
    if (fault == Fault::Malformed)
        body.truncate(body.lastIndexOf("</Response>"));
    // Trailing blanks leave a usable ad, so only the size can make the client refuse it.
    const qsizetype paddedSize = fault == Fault::BigAnswer ? bigAnswerBytes : answerSize;
    if (body.size() < paddedSize)
        body.append(paddedSize - body.size(), ' ');
    return body;
}

void AdServer::writeAd(QXmlStreamWriter &xml, const QUrl &base, Fault fault)
{
    const int number = nextAd + 1;
    const HouseAd &ad = houseAds[nextAd];
    nextAd = number % int(houseAds.size());

    QString link = base.resolved(QUrl(QStringLiteral("/landing/%1").arg(number))).toString();
    QString image = base.resolved(QUrl(QString::fromLatin1(ad.image))).toString();
    if (fault == Fault::Oversize)
        image = base.resolved(QUrl(oversizePath)).toString();
    if (fault == Fault::BadScheme) {
        link = QStringLiteral("javascript:alert(document.cookie)");
        image = QStringLiteral("file:///etc/passwd");
    }
    xml.writeStartElement(QStringLiteral("ad"));
    xml.writeTextElement(QStringLiteral("text"), QString::fromUtf8(ad.text));
    xml.writeTextElement(QStringLiteral("url"), link);
    xml.writeTextElement(QStringLiteral("image"), image);
    xml.writeEndElement();
}

// The client reaches us under the name it used; the listening address
// stands in when the Host header is missing or more than host and port.
QUrl AdServer::baseUrl(const QHttpServerRequest &request) const
{
    const QString host = QString::fromLatin1(request.value("Host"));
    const QUrl named(QStringLiteral("http://") + host, QUrl::StrictMode);
    if (!named.isValid() || named.host().isEmpty()
        || named.authority().compare(host, Qt::CaseInsensitive) != 0) {
        return address();
    }
    QUrl base = address();
    base.setHost(named.host());
    base.setPort(named.port());
    return base;
}

void AdServer::respond(QTcpSocket *socket, const Reply &reply, bool truncate)
{
    // The socket as context drops the answer if the client has gone.
    QTimer::singleShot(delayMs, socket, [socket, reply, truncate] { send(socket, reply, truncate); });
}

// Keeps one chunk queued for as long as the client reads; the socket stops
// the stream when the client hangs up.
void AdServer::stream(QTcpSocket *socket)
{
    socket->write("HTTP/1.1 200 OK\r\nContent-Type: text/xml; charset=utf-8\r\n"
                  "Connection: close\r\n\r\n<?xml version=\"1.0\"?>\n<Response>");
    const QByteArray chunk(endlessChunkBytes, ' ');
    connect(socket, &QTcpSocket::bytesWritten, socket, [socket, chunk] {
        if (socket->bytesToWrite() < chunk.size())
            socket->write(chunk);
    });
    socket->write(chunk);
}

void AdServer::send(QTcpSocket *socket, const Reply &reply, bool truncate)
{
    if (socket->state() != QAbstractSocket::ConnectedState)
        return;
    QByteArray head = "HTTP/1.1 " + QByteArray::number(reply.status) + ' '
                      + reasonPhrase(reply.status) + "\r\n"
                      + "Content-Type: " + reply.mimeType + "\r\n"
                      + "Content-Length: " + QByteArray::number(reply.body.size()) + "\r\n"
                      + "Connection: close\r\n";
    if (!reply.location.isEmpty())
        head += "Location: " + reply.location + "\r\n";
    socket->write(head + "\r\n");
    socket->write(truncate ? reply.body.left(reply.body.size() / 2) : reply.body);
    socket->disconnectFromHost();
}
