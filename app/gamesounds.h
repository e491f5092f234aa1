// SPDX-FileCopyrightText: 2026 The Tumblox developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "gamecues.h"

#include <QString>

class SoundOutput;

// The game's cues as sound: keeps the mute in the [sound] group of the
// settings file and, once the first frame is painted, loads the sound module
// that plays the effects. Until then, and if it cannot be loaded, the game
// is silent. The entry point makes one for the window's board.
class GameSounds : public GameCues
{
    Q_OBJECT

public:
    explicit GameSounds(QObject *parent = nullptr, const QString &modulePath = defaultModulePath());

    // Beside the program (a build folder), else where the game installs it,
    // relative to the program.
    static QString defaultModulePath();

    // Loads the sound module; asked for after the program's first paint.
    // Only the first call does anything.
    void load();

protected:
    void start(Cue cue) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void onMutedChanged(bool muted);

    QString modulePath;
    bool loadTried = false;
    // A child of this object, made by the module.
    SoundOutput *output = nullptr;
};
