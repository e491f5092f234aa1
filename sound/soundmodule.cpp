// SPDX-FileCopyrightText: 2026 The Tumblox developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The entry point of the sound module, which the game loads by name.
#include "soundeffectoutput.h"

#include <QString>

extern "C" Q_DECL_EXPORT SoundOutput *tumbloxCreateSoundOutput(QObject *parent, const QString &effects)
{
    return new SoundEffectOutput(effects.isEmpty() ? QStringLiteral("qrc:/sounds/") : effects, parent);
}
