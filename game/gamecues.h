// SPDX-FileCopyrightText: 2026 The Tumblox developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

// The sounds the board asks for at its events. The board only says what
// happened; whoever owns the cues decides whether and how it is heard.
// The game's own kind plays sound effects; the tests record the cues.
class GameCues : public QObject
{
    Q_OBJECT

public:
    // The order is the order of the effect files.
    enum Cue { Move, Rotate, Land, Pass1, Pass2, Pass3, Pass4, Pass5, Pass6, Level, GameOver, Record };
    Q_ENUM(Cue)
    static constexpr int CueCount = Record + 1;

    using QObject::QObject;

    // Pass n of a cascade sounds one step higher than pass n - 1, up to the sixth.
    static Cue passCue(int pass);

    bool isMuted() const { return muted; }
    void setMuted(bool on);
    // Heard unless muted.
    void play(Cue cue);

signals:
    void mutedChanged(bool muted);

protected:
    virtual void start(Cue cue) = 0;

private:
    bool muted = false;
};
