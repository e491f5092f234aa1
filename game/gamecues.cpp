// SPDX-FileCopyrightText: 2026 The Tumblox developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "gamecues.h"

#include <algorithm>

GameCues::Cue GameCues::passCue(int pass)
{
    return Cue(Pass1 + std::clamp(pass, 1, Pass6 - Pass1 + 1) - 1);
}

void GameCues::setMuted(bool on)
{
    if (on == muted)
        return;
    muted = on;
    emit mutedChanged(muted);
}

void GameCues::play(Cue cue)
{
    if (!muted)
        start(cue);
}
