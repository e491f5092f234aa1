// SPDX-FileCopyrightText: 2026 The Tumblox developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "gamecues.h"
#include "soundoutput.h"

#include <QElapsedTimer>
#include <QObject>
#include <QString>

#include <array>

class QSoundEffect;

// One QSoundEffect per cue, made once. Without an audio output it makes none
// and stays silent; whatever goes wrong is told in one warning line, and Qt
// Multimedia's own repeated complaints are held back while it lives.
class SoundEffectOutput final : public QObject, public SoundOutput
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SoundEffectOutput)

public:
    // base: the folder of the effect files, as a URL ending in '/'.
    explicit SoundEffectOutput(const QString &base, QObject *parent = nullptr);
    ~SoundEffectOutput() override;

    void play(int cue) override;
    void setMuted(bool muted) override;

    static QString fileName(int cue);

private:
    QSoundEffect *makeEffect(int cue);
    void start(int cue);
    void warnOnce(const QString &problem);

    QString base;
    std::array<QSoundEffect *, GameCues::CueCount> effects{};
    // Since the last move or colour turn was heard.
    QElapsedTimer voiceClock;
    int rebuilds = 0;
    bool muted = false;
    bool warned = false;
};
