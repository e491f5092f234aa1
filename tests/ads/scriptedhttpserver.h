// SPDX-FileCopyrightText: 2026 The Tumblox developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QObject>
#include <QPair>
#include <QPointer>
#include <QTcpServer>

class QTcpSocket;

using HeaderList = QList<QPair<QByteArray, QByteArray>>;

// How the server answers requests for one path.
struct ScriptedAnswer
{
    enum Delivery {
        AtOnce,
        Slowly,      // the body a few bytes at a time
        Endless,     // body bytes as fast as taken until the client hangs up, no Content-Length
        HeadersOnly, // the head, then silence
        Hang,        // nothing at all
    };

    int status = 200;
    QByteArray body;
    HeaderList headers;
    Delivery delivery = AtOnce;
    qint64 announcedLength = -1; // Content-Length to send instead of the body's size
};

struct RecordedRequest
{
    QByteArray method;
    QByteArray path;
    QByteArray query; // as sent, still percent-encoded
    HeaderList headers;

    QByteArray header(const QByteArray &name) const;
};

// A small HTTP/1.1 server on an ephemeral 127.0.0.1 port for tests. Answers
// from a script keyed by path (404 for anything else), records every request
// and closes each connection after its answer.
class ScriptedHttpServer : public QObject
{
public:
    explicit ScriptedHttpServer(QObject *parent);

    bool listen();
    QString baseUrl() const;
    void setAnswer(const QByteArray &path, const ScriptedAnswer &answer);
    void reset(); // forgets the script and the recorded requests
    const QList<RecordedRequest> &requests() const { return recorded; }
    QList<QByteArray> paths() const;
    // Connections accepted since the last reset that neither side has closed.
    int openConnections() const;

private:
    void acceptConnection();
    void readRequest(QTcpSocket *socket);
    void answer(QTcpSocket *socket, const ScriptedAnswer &scripted);
    void trickle(QTcpSocket *socket, const QByteArray &body);
    void stream(QTcpSocket *socket);

    QTcpServer server;
    QHash<QByteArray, ScriptedAnswer> script;
    QList<RecordedRequest> recorded;
    QList<QPointer<QTcpSocket>> connections;
};
