// SPDX-FileCopyrightText: 2026 The Tumblox developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "gamesounds.h"

#include "blockdropboard.h"
#include "soundoutput.h"

#include <QCoreApplication>
#include <QEvent>
#include <QFileInfo>
#include <QLibrary>
#include <QSettings>

namespace {
const QString MutedKey = QStringLiteral("sound/muted");

QSettings settings()
{
    return QSettings(QStringLiteral("InnerActive"), BlockDropBoard::applicationId());
}
}

GameSounds::GameSounds(QObject *parent, const QString &modulePath)
    : GameCues(parent)
    , modulePath(modulePath)
{
    setMuted(settings().value(MutedKey, false).toBool());
    connect(this, &GameCues::mutedChanged, this, &GameSounds::onMutedChanged);
    // Loading Qt Multimedia and the libraries under it would hold the first
    // frame back by a third; so it waits for the first paint.
    QCoreApplication::instance()->installEventFilter(this);
}

QString GameSounds::defaultModulePath()
{
    const QString programDirectory = QCoreApplication::applicationDirPath();
    const QString besideProgram = programDirectory + QStringLiteral("/tumblox-sound.so");
    return QFileInfo::exists(besideProgram) ? besideProgram
                                            : programDirectory + QStringLiteral("/" TUMBLOX_SOUND_MODULE);
}

void GameSounds::start(Cue cue)
{
    if (output)
        output->play(cue);
}

// Queued, the load comes after the paint has reached the screen.
bool GameSounds::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Paint) {
        QCoreApplication::instance()->removeEventFilter(this);
        QMetaObject::invokeMethod(this, &GameSounds::load, Qt::QueuedConnection);
    }
    return GameCues::eventFilter(watched, event);
}

// The module stays loaded to the end: the output's code lives in it.
void GameSounds::load()
{
    if (loadTried)
        return;
    loadTried = true;
    QLibrary module(modulePath);
    const auto create = reinterpret_cast<CreateSoundOutput>(module.resolve(CreateSoundOutputName));
    if (!create) {
        qWarning("Sound: %s; the game goes on silently", qPrintable(module.errorString()));
        return;
    }
    output = create(this, QString());
    output->setMuted(isMuted());
}

void GameSounds::onMutedChanged(bool muted)
{
    settings().setValue(MutedKey, muted);
    if (output)
        output->setMuted(muted);
}
