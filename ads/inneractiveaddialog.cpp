// SPDX-FileCopyrightText: 2026 The Tumblox developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "inneractiveaddialog.h"

#include "adlink.h"
#include "inneractiveadwidget.h"
#include "keypresslog.h"

#include <QDesktopServices>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace {

constexpr int RowSpacing = 10;
constexpr int CountdownStepMs = 1000;
// The ad may open in the middle of play: presses this soon after it appears
// were meant for the game.
constexpr int FollowGuardMs = 500;
// A key that follows the ad must not be one of a run of presses, such as
// drops in quick succession: no key at all may come this long before it.
constexpr int QuietBeforeFollowMs = 1000;

QHBoxLayout *centredRow(QWidget *widget, Qt::Alignment alignment = Qt::Alignment())
{
    auto *row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(widget, 0, alignment);
    row->addStretch();
    return row;
}

} // namespace

InnerActiveAdDialog::InnerActiveAdDialog(const QByteArray &logoBytes, const QByteArray &adImageBytes,
                                         const QString &adLinkText, const QString &adText,
                                         bool showAdText, const QString &leftButtonText,
                                         const QString &rightButtonText, bool skipOnLeft,
                                         int countdownSeconds, const QString &skipInText,
                                         QWidget *parent)
    : QDialog(parent, Qt::WindowFlags())
    , skipInText(skipInText)
    , leftButtonText(leftButtonText)
    , rightButtonText(rightButtonText)
    , skipOnLeft(skipOnLeft)
    , adUrl(adLinkText)
{
    logoPixmap.loadFromData(logoBytes);
    adWidget = new InnerActiveAdWidget(this, adImageBytes, adLinkText, showAdText, adText);
    connect(adWidget, &InnerActiveAdWidget::adLinkActivated, this,
            &InnerActiveAdDialog::linkClickedHandler);

    // Untranslated on purpose: a caller without texts still gets usable buttons.
    if (leftButtonText.isEmpty() || rightButtonText.isEmpty()) {
        this->leftButtonText = QStringLiteral("Skip");
        this->rightButtonText = QStringLiteral("Click");
        this->skipOnLeft = true;
    }
    secondsLeft = countdownSeconds > 0 ? countdownSeconds : -1;
    setUpPalette();
    // Notes the presses from now on, if the game has not started it yet.
    KeyPressLog::instance();

    followGuard = new QTimer(this);
    followGuard->setObjectName(QStringLiteral("followGuard"));
    followGuard->setSingleShot(true);
    followGuard->setInterval(FollowGuardMs);

    auto *layout = new QVBoxLayout;
    layout->addLayout(makeLogoRow());
    layout->addSpacing(RowSpacing);
    layout->addLayout(makeBannerRow());
    layout->addSpacing(RowSpacing);
    layout->addLayout(makeCountdownRow());
    layout->addLayout(makeButtonRow());
    setLayout(layout);

    startCountdown();
    // Escape closes through QDialog itself, past the slots that stop it.
    connect(this, &QDialog::finished, this, &InnerActiveAdDialog::stopCountdown);
    adWidget->installEventFilter(this);
    followButton->installEventFilter(this);
    adWidget->setFocus(Qt::OtherFocusReason);
}

// Holds back the input by which the banner and the following button would
// follow the ad; skipping is never held back.
bool InnerActiveAdDialog::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
        return holdsBack(static_cast<QKeyEvent *>(event));
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        return followGuard->isActive();
    default:
        return QDialog::eventFilter(watched, event);
    }
}

// Enter and Return press the default button, which may be the following one.
void InnerActiveAdDialog::keyPressEvent(QKeyEvent *event)
{
    const bool confirms = event->key() == Qt::Key_Enter || event->key() == Qt::Key_Return;
    if (confirms && followButton->isDefault() && holdsBack(event))
        return;
    QDialog::keyPressEvent(event);
}

void InnerActiveAdDialog::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    followGuard->start();
    openedAt = KeyPressLog::instance()->now();
}

bool InnerActiveAdDialog::holdsBack(const QKeyEvent *event) const
{
    if (event->key() == Qt::Key_Escape)
        return false;
    const KeyPressLog *log = KeyPressLog::instance();
    // The same first moments as for a tap, timed on the clock the presses are timed on.
    return event->isAutoRepeat() || log->now() - openedAt < followGuard->interval()
        || log->quietBeforeLastPress() < QuietBeforeFollowMs;
}

void InnerActiveAdDialog::onClickPressed()
{
    followAd(adUrl);
}

void InnerActiveAdDialog::onSkipPressed()
{
    stopCountdown();
    reject();
}

void InnerActiveAdDialog::linkClickedHandler(const QUrl &url)
{
    followAd(url);
}

void InnerActiveAdDialog::onTimeOut()
{
    --secondsLeft;
    if (secondsLeft <= 0) {
        reject();
        return;
    }
    skipLabel->setText(countdownText());
    countdownTimer->start();
}

void InnerActiveAdDialog::setUpPalette()
{
    QPalette pal = palette();
    const QBrush black(QColor(0, 0, 0, 255), Qt::SolidPattern);
    const QBrush white(QColor(255, 255, 255, 255), Qt::SolidPattern);
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        pal.setBrush(group, QPalette::Base, group == QPalette::Disabled ? white : black);
        pal.setBrush(group, QPalette::Window, white);
    }
    setPalette(pal);
}

QHBoxLayout *InnerActiveAdDialog::makeLogoRow()
{
    auto *logoLabel = new QLabel;
    logoLabel->setObjectName(QStringLiteral("label"));
    logoLabel->setAlignment(Qt::AlignVCenter);
    logoLabel->setPixmap(logoPixmap);
    return centredRow(logoLabel, Qt::AlignVCenter);
}

QHBoxLayout *InnerActiveAdDialog::makeBannerRow()
{
    auto *row = centredRow(adWidget);
    row->setAlignment(Qt::AlignVCenter);
    return row;
}

QHBoxLayout *InnerActiveAdDialog::makeCountdownRow()
{
    skipLabel = new QLabel;
    skipLabel->setObjectName(QStringLiteral("labelSkip"));
    skipLabel->setAlignment(Qt::AlignVCenter);
    QPalette pal = skipLabel->palette();
    pal.setColor(QPalette::Active, QPalette::WindowText, QColor(0, 0, 0, 255));
    pal.setColor(QPalette::Inactive, QPalette::WindowText, QColor(0, 0, 0, 255));
    skipLabel->setPalette(pal);
    if (secondsLeft > 0)
        skipLabel->setText(countdownText());

    auto *row = centredRow(skipLabel);
    row->setAlignment(Qt::AlignVCenter);
    return row;
}

// The texts stay where the caller put them; only the wiring follows skipOnLeft.
QHBoxLayout *InnerActiveAdDialog::makeButtonRow()
{
    auto *leftButton = new QPushButton(leftButtonText);
    leftButton->setObjectName(QStringLiteral("btnLeft"));
    auto *rightButton = new QPushButton(rightButtonText);
    rightButton->setObjectName(QStringLiteral("btnRight"));

    QPushButton *skipButton = skipOnLeft ? leftButton : rightButton;
    followButton = skipOnLeft ? rightButton : leftButton;
    connect(skipButton, &QPushButton::clicked, this, &InnerActiveAdDialog::onSkipPressed);
    connect(followButton, &QPushButton::clicked, this, &InnerActiveAdDialog::onClickPressed);

    auto *row = new QHBoxLayout;
    row->addWidget(leftButton);
    row->addSpacing(RowSpacing);
    row->addWidget(rightButton);
    return row;
}

void InnerActiveAdDialog::startCountdown()
{
    if (secondsLeft <= 0)
        return;
    countdownTimer = new QTimer(this);
    countdownTimer->setObjectName(QStringLiteral("countdownTimer"));
    countdownTimer->setInterval(CountdownStepMs);
    countdownTimer->setSingleShot(true);
    connect(countdownTimer, &QTimer::timeout, this, &InnerActiveAdDialog::onTimeOut);
    countdownTimer->start();
}

QString InnerActiveAdDialog::countdownText() const
{
    // One multi-arg call, so a "%" in a translated caption stays literal.
    return QStringLiteral("<b>%1 %2</b>").arg(skipInText, QString::number(secondsLeft));
}

// Every way out stops the countdown first, so no step runs after closing.
void InnerActiveAdDialog::stopCountdown()
{
    if (countdownTimer && countdownTimer->isActive())
        countdownTimer->stop();
}

void InnerActiveAdDialog::followAd(const QUrl &url)
{
    stopCountdown();
    if (isWebUrl(url))
        QDesktopServices::openUrl(url);
    accept();
}
