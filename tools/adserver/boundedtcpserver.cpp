// SPDX-FileCopyrightText: 2026 The Tumblox developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "boundedtcpserver.h"

#include <QTcpSocket>
#include <QTimer>

#include <unistd.h>

namespace {

constexpr int maxConnections = 128;
constexpr qint64 maxReadBuffer = 64 * 1024;
constexpr int requestDeadlineMs = 10000;
constexpr QLatin1String deadlineName("requestDeadline");

} // namespace

BoundedTcpServer::BoundedTcpServer(QObject *parent)
    : QTcpServer(parent)
{
}

void BoundedTcpServer::requestArrived(QTcpSocket *socket)
{
    delete socket->findChild<QTimer *>(deadlineName, Qt::FindDirectChildrenOnly);
}

void BoundedTcpServer::incomingConnection(qintptr descriptor)
{
    auto *socket = new QTcpSocket(this);
    if (!socket->setSocketDescriptor(descriptor)) {
        ::close(int(descriptor));
        delete socket;
        return;
    }
    if (openConnections >= maxConnections) {
        delete socket;
        return;
    }
    ++openConnections;
    connect(socket, &QObject::destroyed, this, [this] { --openConnections; });
    // A full buffer makes the socket stop reading instead of growing.
    socket->setReadBufferSize(maxReadBuffer);
    startDeadline(socket);
    addPendingConnection(socket);
}

void BoundedTcpServer::startDeadline(QTcpSocket *socket)
{
    auto *deadline = new QTimer(socket);
    deadline->setObjectName(deadlineName);
    deadline->setSingleShot(true);
    connect(deadline, &QTimer::timeout, socket, [socket] {
        socket->abort();
        socket->deleteLater();
    });
    deadline->start(requestDeadlineMs);
}
