// SPDX-FileCopyrightText: 2026 The Tumblox developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QTcpServer>

class QTcpSocket;

// A listening socket that keeps a misbehaving client from growing the
// server's memory: a cap on open connections, a cap on each connection's
// read buffer, and a deadline for the request to arrive in full.
class BoundedTcpServer : public QTcpServer
{
    Q_OBJECT

public:
    explicit BoundedTcpServer(QObject *parent = nullptr);

    // Lifts the request deadline once a connection's request has arrived,
    // so an answer may take as long as it likes.
    static void requestArrived(QTcpSocket *socket);

protected:
    void incomingConnection(qintptr descriptor) override;

private:
    void startDeadline(QTcpSocket *socket);

    int openConnections = 0;
};
