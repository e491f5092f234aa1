// SPDX-FileCopyrightText: 2026 The Tumblox developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "inneractiveadmodule.h"

#include "adanswer.h"
#include "adlink.h"
#include "inneractiveaddialog.h"
#include "inneractiveadwidget.h"
#include "keypresslog.h"

#include <QDateTime>
#include <QDesktopServices>
#include <QFile>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPointer>
#include <QSettings>
#include <QStringDecoder>
#include <QTimer>
#include <QUrlQuery>

namespace {

const int MaxValueLength = 256;
const int MaxReloadInterval = 86400;
const int DefaultExchangeTimeLimit = 30000;
const qint64 MaxImageSize = 2 * 1024 * 1024;
const int MaxRedirects = 5;

const char *const ParameterKeys[] = {"po", "eid", "a", "g", "mn", "k", "c", "l", "lg"};

const char UserAgent[] = "Mozilla/5.0 (X11; U; Linux armv7l; fi-FI; rv:1.9.2a1pre) "
                         "Gecko/20090928 Firefox/3.5 Maemo Browser 1.4.1.15 RX-51 N900";

QString serverBaseUrl()
{
    const QByteArray fromEnvironment = qgetenv("TUMBLOX_AD_SERVER");
    QString base = fromEnvironment.isEmpty() ? QStringLiteral(TUMBLOX_AD_SERVER)
                                             : QString::fromUtf8(fromEnvironment);
    if (base.endsWith(QLatin1Char('/')))
        base.chop(1);
    return base;
}

// Like Qt 4's "utf-16" codec: a byte order mark decides, and without one the
// host's byte order is assumed.
QString decodeUtf16(const QByteArray &bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf16);
    return decoder.decode(bytes);
}

// Text mode drops the '\r' bytes of "\r\n" line ends, which leaves a UTF-16
// text one byte out of step; squeezing the zero bytes puts it back in step.
QByteArray squeezeZeroRuns(const QByteArray &bytes)
{
    QByteArray squeezed;
    squeezed.reserve(bytes.size());
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (bytes.at(i) != '\0' || i == 0 || bytes.at(i - 1) != '\0')
            squeezed.append(bytes.at(i));
    }
    return squeezed;
}

// The text between the key found at keyAt and lineEnd, or a null string when
// either is missing or nothing lies between them.
QString valueBefore(const QString &text, qsizetype keyAt, qsizetype keyLength,
                    qsizetype lineEnd)
{
    const qsizetype valueAt = keyAt + keyLength;
    if (keyAt < 0 || lineEnd <= valueAt)
        return QString();
    return text.mid(valueAt, lineEnd - valueAt);
}

QString describeProduct(const QString &text)
{
    const QString makerKey = QStringLiteral("Manufacturer=");
    const qsizetype makerAt = text.indexOf(makerKey, 0, Qt::CaseInsensitive);
    // Only the first line can carry the maker.
    QString description = valueBefore(text, makerAt, makerKey.size(),
                                      text.indexOf(QLatin1Char('\n')));
    if (description.isEmpty())
        return description;

    const QString modelKey = QStringLiteral("Model=");
    const qsizetype modelAt = text.indexOf(modelKey, 0, Qt::CaseInsensitive);
    const QString model = valueBefore(text, modelAt, modelKey.size(),
                                      modelAt < 0 ? -1 : text.indexOf(QLatin1Char('\n'), modelAt));
    if (!model.isNull())
        description += QLatin1Char(' ') + model;
    return description;
}

} // namespace

InnerActiveAdModule::InnerActiveAdModule(QObject *parent, const QString &applicationId,
                                         int reloadIntervalSeconds)
    : QObject(parent)
    , applicationId(applicationId)
    , sdkVersion(QStringLiteral("1.5.2"))
    , userAgent(QLatin1String(UserAgent))
    , serverUrl(serverBaseUrl())
{
    adParameters[0] = QStringLiteral("551");
    clientId = loadClientId();
    if (reloadIntervalSeconds >= 0 && reloadIntervalSeconds <= MaxReloadInterval)
        reloadInterval = reloadIntervalSeconds;

    reloadTimer = new QTimer(this);
    if (reloadInterval != 0) {
        reloadTimer->setInterval(reloadInterval * 1000);
        reloadTimer->setSingleShot(true);
    }
    connect(reloadTimer, &QTimer::timeout, this, &InnerActiveAdModule::requestAd);

    exchangeTimer = new QTimer(this);
    exchangeTimer->setSingleShot(true);
    exchangeTimer->setInterval(DefaultExchangeTimeLimit);
    connect(exchangeTimer, &QTimer::timeout, this, &InnerActiveAdModule::exchangeTimedOut);

    // The ad dialog weighs each key against the presses before it, in the
    // game too, so they are noted from the start.
    KeyPressLog::instance();
}

int InnerActiveAdModule::setAdParameter(int index, const QString &value)
{
    if (requestInProgress)
        return Busy;
    if (value.size() > MaxValueLength)
        return ValueTooLong;
    if (index >= 0 && index < ParameterCount)
        adParameters[index] = value;
    return Success;
}

void InnerActiveAdModule::setExchangeTimeLimit(int msecs)
{
    exchangeTimer->setInterval(msecs);
}

int InnerActiveAdModule::requestAd()
{
    if (applicationId.isEmpty())
        return NoApplicationId;
    // Also for the logo: a second exchange would orphan the reply in flight.
    if (requestInProgress)
        return Busy;

    requestInProgress = true;
    if (!logoFetched) {
        requestStage = LogoStage;
        sendRequest(QUrl(serverUrl + QLatin1String("/inneractive_logo.png")));
        return Success;
    }

    adReady = false;
    requestStage = AnswerStage;
    emit startReloadAd();
    reloadTimer->stop();
    composeRequestUrl();
    adLinkText = QString();
    adText = QString();
    adImageUrl = QString();
    sendRequest(requestUrl);
    return Success;
}

void InnerActiveAdModule::composeRequestUrl()
{
    QList<QPair<QString, QString>> items = {
        {QStringLiteral("aid"), applicationId},
        {QStringLiteral("v"), QLatin1String("Sm2m-1.5.2-QT_") + sdkVersion},
        {QStringLiteral("o"), QStringLiteral("true")},
        {QLatin1String(ParameterKeys[0]), adParameters[0]},
        {QStringLiteral("cid"), clientId},
    };
    for (int i = 1; i < ParameterCount; ++i)
        items.append({QLatin1String(ParameterKeys[i]), adParameters[i]});
    items.append({QStringLiteral("time"),
                  QString::number(QDateTime::currentSecsSinceEpoch())});

    // QUrlQuery leaves "+" and other delimiters alone, which servers would
    // read as a space; encoding each value first keeps it intact.
    QUrlQuery query;
    for (const auto &[key, value] : std::as_const(items)) {
        if (!value.isEmpty())
            query.addQueryItem(key, QString::fromLatin1(QUrl::toPercentEncoding(value)));
    }
    requestUrl.setUrl(serverUrl + QLatin1String("/simpleM2M/clientRequestAd"));
    requestUrl.setQuery(query);
}

void InnerActiveAdModule::sendRequest(const QUrl &url)
{
    QNetworkRequest request(url);
    request.setRawHeader("User-Agent", userAgent.toLatin1());
    // Moved content is followed a few hops, never from https to http; what
    // finally answers must be a 200 (httpFinished).
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setMaximumRedirectsAllowed(MaxRedirects);
    reply = networkManager.get(request);
    // Qt's network thread reads on while bytes keep coming and only then takes
    // up an abort; a full buffer stops it, so an abort lets go of the server.
    // Twice the limit, as Qt stops filling the buffer somewhat short of it.
    reply->setReadBufferSize(2 * answerSizeLimit());
    connect(reply, &QNetworkReply::finished, this, &InnerActiveAdModule::httpFinished);
    connect(reply, &QNetworkReply::readyRead, this, &InnerActiveAdModule::httpReadyRead);
    // Lets an announced Content-Length over the limit end the exchange early.
    connect(reply, &QNetworkReply::metaDataChanged, this, &InnerActiveAdModule::httpReadyRead);
    exchangeTimer->start();
}

QString InnerActiveAdModule::loadClientId()
{
    QSettings settings(QStringLiteral("InnerActive"), applicationId);
    const QString stored = settings.value(QStringLiteral("cid"), QVariant()).toString();
    // Sent with every request, so held to the bound of an answered id.
    return stored.size() <= MaxValueLength ? stored : QString();
}

void InnerActiveAdModule::saveClientId()
{
    QSettings settings(QStringLiteral("InnerActive"), applicationId);
    settings.setValue(QStringLiteral("cid"), clientId);
}

void InnerActiveAdModule::httpFinished()
{
    if (reply->error() != QNetworkReply::NoError) {
        abortExchange(reply->errorString());
        return;
    }
    // Qt reports only 4xx and 5xx as errors; a 204, 300 or 304 carries no
    // logo, answer or image either, whatever its body holds.
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (status != 200) {
        abortExchange(tr("The ad server answered with status %1").arg(status));
        return;
    }

    const QByteArray body = reply->readAll();
    releaseReply();
    switch (requestStage) {
    case LogoStage:
        logoArrived(body);
        break;
    case AnswerStage:
        answerArrived(body);
        break;
    case ImageStage:
        imageArrived(body);
        break;
    }
}

// The body is read as a whole once the exchange has finished; this only keeps
// a broken or hostile server from filling the memory meanwhile.
void InnerActiveAdModule::httpReadyRead()
{
    const qint64 limit = answerSizeLimit();
    const QVariant announced = reply->header(QNetworkRequest::ContentLengthHeader);
    if (reply->bytesAvailable() <= limit && (!announced.isValid() || announced.toLongLong() <= limit))
        return;
    // The transfer worked; an ad answer too large to parse is a bad answer.
    if (requestStage == AnswerStage) {
        dropExchange();
        refuseAnswer();
    } else {
        abortExchange(tr("The ad server's answer is too large"));
    }
}

void InnerActiveAdModule::logoArrived(const QByteArray &body)
{
    logoBytes.append(body);
    requestInProgress = false;
    logoFetched = true;
    requestStage = AnswerStage;
    requestAd();
}

void InnerActiveAdModule::answerArrived(const QByteArray &body)
{
    const QUrl imageUrl = takeAnswer(body);
    if (imageUrl.isEmpty()) {
        refuseAnswer();
        return;
    }
    requestStage = ImageStage;
    sendRequest(imageUrl);
}

void InnerActiveAdModule::refuseAnswer()
{
    emit adDataCorrupted();
    requestInProgress = false;
}

QUrl InnerActiveAdModule::takeAnswer(const QByteArray &body)
{
    const AdAnswer answer = AdAnswer::parse(body);
    if (!answer.ok)
        return QUrl();
    // The same bound as every other request value.
    if (answer.hasClient && answer.clientId.size() <= MaxValueLength
        && answer.clientId != clientId) {
        clientId = answer.clientId;
        saveClientId();
    }
    adText = answer.text;
    adLinkText = answer.url;
    adImageUrl = answer.image;
    // Only a web address: a file: address would have us read local files.
    const QUrl imageUrl(adImageUrl);
    return isWebUrl(imageUrl) ? imageUrl : QUrl();
}

void InnerActiveAdModule::imageArrived(const QByteArray &body)
{
    adImageBytes = body;
    adReady = true;
    requestInProgress = false;
    emit adDataReady();
    if (reloadInterval != 0)
        reloadTimer->start();
}

qint64 InnerActiveAdModule::answerSizeLimit() const
{
    return requestStage == AnswerStage ? AdAnswer::MaxSize : MaxImageSize;
}

void InnerActiveAdModule::releaseReply()
{
    exchangeTimer->stop();
    reply->disconnect(this);
    reply->deleteLater();
    reply = nullptr;
}

// Ends the exchange in flight, finished or not, without a report.
void InnerActiveAdModule::dropExchange()
{
    QNetworkReply *aborted = reply;
    releaseReply(); // disconnected first, so the abort's finished() reports nothing
    aborted->abort(); // does nothing when the reply has finished
}

// Ends the exchange in flight and reports it as failed.
void InnerActiveAdModule::abortExchange(const QString &message)
{
    dropExchange();
    emit networkError(message);
    requestInProgress = false;
}

void InnerActiveAdModule::exchangeTimedOut()
{
    abortExchange(tr("The ad server did not answer in time"));
}

void InnerActiveAdModule::linkClickedHandler(QUrl url)
{
    reloadTimer->stop();
    if (isWebUrl(url))
        QDesktopServices::openUrl(url);
    requestAd();
}

int InnerActiveAdModule::openAdLink()
{
    if (!adReady || adLinkText.isEmpty())
        return NoAdReady;
    linkClickedHandler(QUrl(adLinkText));
    return Success;
}

int InnerActiveAdModule::showAdDialog(QWidget *parent, int countdownSeconds,
                                      const QString &skipInText, const QString &leftButtonText,
                                      const QString &rightButtonText, bool skipOnLeft,
                                      bool showAdText)
{
    if (requestInProgress)
        return Busy;
    if (!adReady)
        return NoAdReady;
    // The ad on screen must not be replaced while it is shown.
    reloadTimer->stop();

    // exec() runs a nested loop: the parent, and with the board as parent this
    // client too, may be deleted before it returns, taking the dialog along.
    QPointer<InnerActiveAdModule> self(this);
    QPointer<InnerActiveAdDialog> dialog =
        new InnerActiveAdDialog(logoBytes, adImageBytes, adLinkText, adText, showAdText,
                                leftButtonText, rightButtonText, skipOnLeft, countdownSeconds,
                                skipInText, parent);
    dialog->setModal(true);
    const int result = dialog->exec();
    delete dialog;
    if (!self)
        return Success;

    if (result != QDialog::Rejected)
        requestAd();
    else if (reloadInterval != 0)
        reloadTimer->start();
    return Success;
}

InnerActiveAdWidget *InnerActiveAdModule::createAdWidget(QWidget *parent, bool showAdText)
{
    auto *widget = new InnerActiveAdWidget(parent, QByteArray(), QString(), showAdText, QString());
    connect(widget, &InnerActiveAdWidget::adLinkActivated, this,
            &InnerActiveAdModule::linkClickedHandler);
    return widget;
}

int InnerActiveAdModule::updateAdWidget(InnerActiveAdWidget *widget)
{
    if (requestInProgress)
        return Busy;
    if (!adReady)
        return NoAdReady;
    if (!widget)
        return NoWidget;
    widget->setContent(adImageBytes, adLinkText, adText);
    return Success;
}

QString InnerActiveAdModule::deviceDescription() const
{
    QFile product(QStringLiteral("z:/resource/versions/product.txt"));
    if (product.open(QIODevice::ReadOnly | QIODevice::Text))
        return describeProduct(decodeUtf16(squeezeZeroRuns(product.readAll())));

    QFile model(QStringLiteral("z:/resource/versions/model.txt"));
    if (model.open(QIODevice::ReadOnly | QIODevice::Text))
        return decodeUtf16(model.readAll());
    return QString();
}
