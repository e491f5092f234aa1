// SPDX-FileCopyrightText: 2026 The Tumblox developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFrame>
#include <QUrl>

#include <memory>

class QBuffer;
class QByteArray;
class QLabel;
class QMovie;

// The banner of one ad: its image, animated where the format has frames, and
// an optional text line. The whole banner is one hit area: a tap, Select or
// keypad Enter reports the ad's link, and the listener decides what to open.
// Owned by its parent widget.
class InnerActiveAdWidget : public QFrame
{
    Q_OBJECT

public:
    InnerActiveAdWidget(QWidget *parent, const QByteArray &adImageBytes, const QString &adLinkText,
                        bool showAdText, const QString &adText);
    ~InnerActiveAdWidget() override;

    void setContent(const QByteArray &adImageBytes, const QString &adLinkText, const QString &adText);
    void fitTextFont(int maxHeight);

signals:
    void adLinkActivated(const QUrl &adUrl);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private slots:
    void onMovieFinished();

private:
    void playImage(const QByteArray &adImageBytes);
    void releaseImage();

    QLabel *imageLabel = nullptr;
    QLabel *textLabel = nullptr;
    QMovie *imageMovie = nullptr;
    QUrl adUrl;
    QString displayText;
    std::unique_ptr<QByteArray> imageBytes;
    QBuffer *imageBuffer = nullptr;
    bool tapStarted = false;
};
