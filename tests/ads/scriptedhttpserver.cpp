// SPDX-FileCopyrightText: 2026 The Tumblox developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "scriptedhttpserver.h"

#include <QTcpSocket>
#include <QTimer>

namespace {

const int TrickleBytes = 16;
const int TrickleIntervalMs = 50;
const int StreamChunk = 64 * 1024;
const qint64 StreamBacklog = 4 * StreamChunk;

RecordedRequest parseHead(const QByteArray &head)
{
    const QList<QByteArray> lines = head.split('\n');
    const QList<QByteArray> requestLine = lines.value(0).trimmed().split(' ');
    const QByteArray target = requestLine.value(1);
    const qsizetype queryAt = target.indexOf('?');

    RecordedRequest request;
    request.method = requestLine.value(0);
    request.path = queryAt < 0 ? target : target.left(queryAt);
    request.query = queryAt < 0 ? QByteArray() : target.mid(queryAt + 1);
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const qsizetype colon = lines.at(i).indexOf(':');
        if (colon > 0)
            request.headers.append({lines.at(i).left(colon).trimmed(),
                                    lines.at(i).mid(colon + 1).trimmed()});
    }
    return request;
}

QByteArray responseHead(const ScriptedAnswer &scripted)
{
    QByteArray head = "HTTP/1.1 " + QByteArray::number(scripted.status) + " Scripted\r\n";
    for (const auto &[name, value] : scripted.headers)
        head += name + ": " + value + "\r\n";
    if (scripted.delivery != ScriptedAnswer::Endless) {
        const qint64 length = scripted.announcedLength >= 0 ? scripted.announcedLength
                                                            : scripted.body.size();
        head += "Content-Length: " + QByteArray::number(length) + "\r\n";
    }
    return head + "Connection: close\r\n\r\n";
}

} // namespace

QByteArray RecordedRequest::header(const QByteArray &name) const
{
    for (const auto &[key, value] : headers) {
        if (key.compare(name, Qt::CaseInsensitive) == 0)
            return value;
    }
    return QByteArray();
}

ScriptedHttpServer::ScriptedHttpServer(QObject *parent)
    : QObject(parent)
{
    connect(&server, &QTcpServer::newConnection, this, &ScriptedHttpServer::acceptConnection);
}

bool ScriptedHttpServer::listen()
{
    return server.listen(QHostAddress::LocalHost);
}

QString ScriptedHttpServer::baseUrl() const
{
    return QStringLiteral("http://127.0.0.1:%1").arg(server.serverPort());
}

void ScriptedHttpServer::setAnswer(const QByteArray &path, const ScriptedAnswer &answer)
{
    script.insert(path, answer);
}

void ScriptedHttpServer::reset()
{
    script.clear();
    recorded.clear();
    connections.clear();
}

int ScriptedHttpServer::openConnections() const
{
    int open = 0;
    for (const QPointer<QTcpSocket> &socket : connections) {
        if (socket && socket->state() != QAbstractSocket::UnconnectedState)
            ++open;
    }
    return open;
}

QList<QByteArray> ScriptedHttpServer::paths() const
{
    QList<QByteArray> result;
    for (const RecordedRequest &request : recorded)
        result.append(request.path);
    return result;
}

void ScriptedHttpServer::acceptConnection()
{
    while (QTcpSocket *socket = server.nextPendingConnection()) {
        socket->setParent(this);
        connections.append(socket);
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { readRequest(socket); });
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    }
}

void ScriptedHttpServer::readRequest(QTcpSocket *socket)
{
    const qsizetype headEnd = socket->peek(socket->bytesAvailable()).indexOf("\r\n\r\n");
    if (headEnd < 0)
        return;
    disconnect(socket, &QTcpSocket::readyRead, this, nullptr); // one request per connection
    recorded.append(parseHead(socket->read(headEnd + 4)));
    ScriptedAnswer notFound;
    notFound.status = 404;
    answer(socket, script.value(recorded.last().path, notFound));
}

void ScriptedHttpServer::answer(QTcpSocket *socket, const ScriptedAnswer &scripted)
{
    switch (scripted.delivery) {
    case ScriptedAnswer::AtOnce:
        socket->write(responseHead(scripted) + scripted.body);
        socket->disconnectFromHost();
        break;
    case ScriptedAnswer::Slowly:
        socket->write(responseHead(scripted));
        trickle(socket, scripted.body);
        break;
    case ScriptedAnswer::Endless:
        socket->write(responseHead(scripted));
        stream(socket);
        break;
    case ScriptedAnswer::HeadersOnly:
        socket->write(responseHead(scripted));
        break;
    case ScriptedAnswer::Hang:
        break;
    }
}

void ScriptedHttpServer::trickle(QTcpSocket *socket, const QByteArray &body)
{
    auto *timer = new QTimer(socket);
    connect(timer, &QTimer::timeout, socket, [socket, timer, rest = body]() mutable {
        socket->write(rest.left(TrickleBytes));
        rest.remove(0, TrickleBytes);
        if (rest.isEmpty()) {
            timer->stop();
            socket->disconnectFromHost();
        }
    });
    timer->start(TrickleIntervalMs);
}

void ScriptedHttpServer::stream(QTcpSocket *socket)
{
    const QByteArray chunk(StreamChunk, 'x');
    auto topUp = [socket, chunk] {
        while (socket->state() == QAbstractSocket::ConnectedState
               && socket->bytesToWrite() < StreamBacklog)
            socket->write(chunk);
    };
    // Topped up as the client takes bytes, with a bounded backlog.
    connect(socket, &QTcpSocket::bytesWritten, socket, topUp);
    // Once the client hangs up, the backlog would only keep the socket busy.
    connect(socket, &QTcpSocket::errorOccurred, socket, [socket] { socket->abort(); });
    topUp();
}
