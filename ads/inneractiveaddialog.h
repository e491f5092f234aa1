// SPDX-FileCopyrightText: 2026 The Tumblox developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>
#include <QPixmap>
#include <QUrl>

class InnerActiveAdWidget;
class QHBoxLayout;
class QKeyEvent;
class QLabel;
class QPushButton;
class QTimer;

// The modal dialog that shows one ad: the network's logo, the banner, a
// "Skip in" countdown and a skip and a follow button. Following the ad (button
// or banner) opens its web link and accepts; skipping or running out rejects.
// Built on the stack by the ad client for one exec().
class InnerActiveAdDialog : public QDialog
{
    Q_OBJECT

public:
    InnerActiveAdDialog(const QByteArray &logoBytes, const QByteArray &adImageBytes,
                        const QString &adLinkText, const QString &adText, bool showAdText,
                        const QString &leftButtonText, const QString &rightButtonText,
                        bool skipOnLeft, int countdownSeconds, const QString &skipInText,
                        QWidget *parent);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void showEvent(QShowEvent *event) override;

private slots:
    void onClickPressed();
    void onSkipPressed();
    void linkClickedHandler(const QUrl &url);
    void onTimeOut();

private:
    void setUpPalette();
    QHBoxLayout *makeLogoRow();
    QHBoxLayout *makeBannerRow();
    QHBoxLayout *makeCountdownRow();
    QHBoxLayout *makeButtonRow();
    void startCountdown();
    QString countdownText() const;
    void stopCountdown();
    void followAd(const QUrl &url);
    bool holdsBack(const QKeyEvent *event) const;

    QPixmap logoPixmap;
    InnerActiveAdWidget *adWidget = nullptr;
    QLabel *skipLabel = nullptr;
    QTimer *countdownTimer = nullptr;
    int secondsLeft = -1;
    QString skipInText;
    QString leftButtonText;
    QString rightButtonText;
    bool skipOnLeft = true;
    QUrl adUrl;
    QPushButton *followButton = nullptr;
    QTimer *followGuard = nullptr;
    qint64 openedAt = 0;
};
