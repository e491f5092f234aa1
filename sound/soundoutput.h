// SPDX-FileCopyrightText: 2026 The Tumblox developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QObject;
class QString;

// What the sound module gives the game: the effects, made once and played on
// the GUI thread. The game loads the module after its first frame, because Qt
// Multimedia and the libraries under it take longer to load than the window
// takes to show; so the two meet only through this interface.
class SoundOutput
{
public:
    virtual ~SoundOutput() = default;
    // A GameCues::Cue.
    virtual void play(int cue) = 0;
    // Also silences what is playing.
    virtual void setMuted(bool muted) = 0;
};

// The module's one exported function, looked up by this name. The output is
// a child of parent; effects is the folder of the effect files as a URL
// ending in '/', or empty for the module's own.
using CreateSoundOutput = SoundOutput *(*)(QObject *parent, const QString &effects);
inline constexpr char CreateSoundOutputName[] = "tumbloxCreateSoundOutput";
