// SPDX-FileCopyrightText: 2026 The Tumblox developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAbstractHttpServer>
#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <optional>

class QHttpServerRequest;
class QTcpSocket;
class QXmlStreamWriter;

// Development ad server: the ad network's logo, an XML ad answer that
// rotates through the house ads, their images and landing pages, and one
// injected fault at a time. Every connection carries one request.
class AdServer : public QAbstractHttpServer
{
    Q_OBJECT

public:
    enum class Fault {
        None,
        NoFill,
        Malformed,
        HttpError,
        Hang,
        Oversize,
        BadScheme,
        Truncate,
        Redirect,
        BigAnswer,
        Endless,
        Status,
    };

    static std::optional<Fault> faultFromName(const QString &name);
    static QStringList faultNames();

    // faultCount: how many ad requests meet the fault; -1 for every request.
    // answerSize: ad answers shorter than this are padded to it.
    explicit AdServer(Fault fault = Fault::None, int delayMs = 0, int faultCount = -1,
                      qsizetype answerSize = 0, QObject *parent = nullptr);

    // The status that the fault mode "status" answers with.
    void setFaultStatus(int status);
    // Only requests for paths that start with this meet the fault; empty for any path.
    void setFaultPath(const QString &path);

    bool listen(quint16 port);
    QUrl address() const;

protected:
    bool handleRequest(const QHttpServerRequest &request, QTcpSocket *socket) override;
    void missingHandler(const QHttpServerRequest &request, QTcpSocket *socket) override;

private:
    struct Reply
    {
        int status = 200;
        QByteArray mimeType;
        QByteArray body;
        QByteArray location;
    };

    void addFile(const QString &path, const QString &resource, const QByteArray &mimeType);
    void addLandingPages();
    void addOversizeImage();

    Fault faultFor(const QHttpServerRequest &request);
    std::optional<Reply> answer(const QHttpServerRequest &request, Fault fault);
    std::optional<Reply> route(const QString &path, const QHttpServerRequest &request, Fault fault);
    Reply redirect(const QHttpServerRequest &request) const;
    QByteArray adAnswer(const QHttpServerRequest &request, Fault fault);
    void writeAd(QXmlStreamWriter &xml, const QUrl &base, Fault fault);
    QUrl baseUrl(const QHttpServerRequest &request) const;

    void respond(QTcpSocket *socket, const Reply &reply, bool truncate);
    static void stream(QTcpSocket *socket);
    static void send(QTcpSocket *socket, const Reply &reply, bool truncate);

    const Fault faultMode;
    const int delayMs;
    const qsizetype answerSize;
    int faultsLeft;
    int faultStatus = 204;
    QString faultPath;
    quint16 port = 0;
    int nextAd = 0;
    QHash<QString, Reply> files;
};
