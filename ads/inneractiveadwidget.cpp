// SPDX-FileCopyrightText: 2026 The Tumblox developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "inneractiveadwidget.h"

#include <QBuffer>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLabel>
#include <QMovie>
#include <QVBoxLayout>

#include <utility>

namespace {

constexpr int MaxTextLength = 30;
constexpr int TextLineHeight = 15;

QString shortened(const QString &adText)
{
    if (adText.size() <= MaxTextLength)
        return adText;
    return adText.left(MaxTextLength) + QLatin1String("...");
}

bool isKeyActivation(const QEvent *event)
{
    if (event->type() != QEvent::KeyPress)
        return false;
    // A held key repeats without the player pressing again.
    const auto *keyEvent = static_cast<const QKeyEvent *>(event);
    if (keyEvent->isAutoRepeat())
        return false;
    // Return stays with the dialog around the banner; the device keys follow the ad.
    const int key = keyEvent->key();
    return key == Qt::Key_Select || key == Qt::Key_Enter;
}

// Lowers the font by one step in the unit it is given in (points, else
// pixels). False once it is at 1, so callers cannot shrink it for ever.
bool shrinkByOne(QFont &font)
{
    if (font.pointSize() > 1) {
        font.setPointSize(font.pointSize() - 1);
        return true;
    }
    if (font.pointSize() == -1 && font.pixelSize() > 1) {
        font.setPixelSize(font.pixelSize() - 1);
        return true;
    }
    return false;
}

} // namespace

InnerActiveAdWidget::InnerActiveAdWidget(QWidget *parent, const QByteArray &adImageBytes,
                                         const QString &adLinkText, bool showAdText,
                                         const QString &adText)
    : QFrame(parent, Qt::WindowFlags())
    , adUrl(adLinkText)
    , displayText(shortened(adText))
{
    installEventFilter(this);
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setLineWidth(1);

    auto *layout = new QVBoxLayout;
    layout->setContentsMargins(0, 0, 0, 0);

    imageLabel = new QLabel;
    imageLabel->setObjectName(QStringLiteral("lblAdImageCtrl"));
    imageLabel->setAlignment(Qt::AlignCenter);
    imageLabel->setFocusPolicy(Qt::NoFocus);
    layout->addWidget(imageLabel);
    if (!adImageBytes.isEmpty())
        playImage(adImageBytes);

    if (showAdText) {
        textLabel = new QLabel(displayText);
        textLabel->setObjectName(QStringLiteral("lblAdTextCtrl"));
        textLabel->setFocusPolicy(Qt::NoFocus);
        textLabel->setAlignment(Qt::AlignCenter);
        layout->addWidget(textLabel, 0, Qt::AlignCenter);
        fitTextFont(TextLineHeight);
    }
    setLayout(layout);
}

InnerActiveAdWidget::~InnerActiveAdWidget()
{
    // Children die after imageBytes, so let go of the readers here first.
    releaseImage();
}

void InnerActiveAdWidget::setContent(const QByteArray &adImageBytes, const QString &adLinkText,
                                     const QString &adText)
{
    displayText = shortened(adText);
    if (textLabel)
        textLabel->setText(displayText);
    adUrl = QUrl(adLinkText);
    playImage(adImageBytes);
}

void InnerActiveAdWidget::fitTextFont(int maxHeight)
{
    if (!textLabel)
        return;
    const QString sample = QStringLiteral("Test Text");
    QFont font = textLabel->font();
    while (QFontMetrics(font).boundingRect(sample).height() > maxHeight && shrinkByOne(font)) { }
    textLabel->setFont(font);
}

bool InnerActiveAdWidget::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != this)
        return QFrame::eventFilter(watched, event);
    if (event->type() == QEvent::MouseButtonPress)
        tapStarted = true;
    // Only a tap that began on the banner: a release whose press went
    // elsewhere, or was held back by the dialog, does not follow the ad.
    const bool tapped = event->type() == QEvent::MouseButtonRelease && std::exchange(tapStarted, false);
    if (tapped || isKeyActivation(event))
        emit adLinkActivated(adUrl);
    return QFrame::eventFilter(watched, event);
}

void InnerActiveAdWidget::onMovieFinished()
{
    // Nothing to do: a finished movie stays on its last frame.
}

// The new bytes, buffer and movie are all in place before the old set is
// released, so the label never shows a movie whose buffer is gone.
void InnerActiveAdWidget::playImage(const QByteArray &adImageBytes)
{
    auto bytes = std::make_unique<QByteArray>(adImageBytes);
    auto *buffer = new QBuffer(bytes.get(), this);
    buffer->open(QIODevice::ReadOnly);
    auto *movie = new QMovie(buffer, QByteArray(), this);
    imageLabel->setMovie(movie);

    releaseImage();
    imageBytes = std::move(bytes);
    imageBuffer = buffer;
    imageMovie = movie;
    connect(imageMovie, &QMovie::finished, this, &InnerActiveAdWidget::onMovieFinished);
    imageMovie->start();
}

// Readers go before what they read: the movie, then its buffer, then the bytes.
void InnerActiveAdWidget::releaseImage()
{
    delete imageMovie;
    imageMovie = nullptr;
    delete imageBuffer;
    imageBuffer = nullptr;
    imageBytes.reset();
}
