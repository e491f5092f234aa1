// SPDX-FileCopyrightText: 2026 The Tumblox developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QNetworkAccessManager>
#include <QObject>
#include <QString>
#include <QUrl>

class InnerActiveAdWidget;
class QNetworkReply;
class QTimer;
class QWidget;

// Client of the InnerActive ad network. Fetches the network's logo once, then
// an ad answer and its image, keeps them as the ad data record and reloads
// after reloadInterval seconds. Owned by the board through its parent.
class InnerActiveAdModule : public QObject
{
    Q_OBJECT

public:
    enum Result {
        Success = 1,
        Busy = -1,
        ValueTooLong = -2,
        NoApplicationId = -3,
        NoAdReady = -4,
        NoWidget = -5,
    };

    InnerActiveAdModule(QObject *parent, const QString &applicationId, int reloadIntervalSeconds);

    int setAdParameter(int index, const QString &value);
    int openAdLink();

    // Shows the ad held now in a modal dialog; blocks until it closes.
    int showAdDialog(QWidget *parent, int countdownSeconds, const QString &skipInText,
                     const QString &leftButtonText, const QString &rightButtonText,
                     bool skipOnLeft, bool showAdText);
    // An empty banner for the caller to place; updateAdWidget fills it.
    InnerActiveAdWidget *createAdWidget(QWidget *parent, bool showAdText);
    int updateAdWidget(InnerActiveAdWidget *widget);
    QString deviceDescription() const;

    // The game keeps the 30 s default; tests shorten it.
    void setExchangeTimeLimit(int msecs);

signals:
    void startReloadAd();
    void networkError(QString networkError);
    void adDataReady();
    void adDataCorrupted();

public slots:
    int requestAd();

private slots:
    void httpFinished();
    void httpReadyRead();
    void linkClickedHandler(QUrl url);

private:
    enum Stage { LogoStage = 0, AnswerStage = 1, ImageStage = 2 };
    static constexpr int ParameterCount = 9;

    void composeRequestUrl();
    void sendRequest(const QUrl &url);
    QString loadClientId();
    void saveClientId();

    void logoArrived(const QByteArray &body);
    void answerArrived(const QByteArray &body);
    void refuseAnswer();
    // Takes a parsed answer into the record and the client id; returns the
    // image address, or an empty one when the answer is unusable.
    QUrl takeAnswer(const QByteArray &body);
    void imageArrived(const QByteArray &body);
    qint64 answerSizeLimit() const;
    void releaseReply();
    void dropExchange();
    void abortExchange(const QString &message);
    void exchangeTimedOut();

    bool logoFetched = false;
    int requestStage = -1;
    QUrl requestUrl;
    QNetworkAccessManager networkManager;
    QNetworkReply *reply = nullptr;
    bool adReady = false;
    bool requestInProgress = false;
    QTimer *reloadTimer = nullptr;
    QString adParameters[ParameterCount];
    int reloadInterval = 120;
    QByteArray logoBytes;
    QByteArray adImageBytes;
    QString adText;
    QString adLinkText;
    QString adImageUrl;
    QString applicationId;
    QString sdkVersion;
    QString clientId;
    QString userAgent;

    QString serverUrl;
    QTimer *exchangeTimer = nullptr;

    // The tests reach the record and the exchange directly.
    friend class TestInnerActiveAdModule;
    // The fuzz harness drives takeAnswer and reads the record through it.
    friend struct InnerActiveAdModuleTestAccess;
};
