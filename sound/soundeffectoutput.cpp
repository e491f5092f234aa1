// SPDX-FileCopyrightText: 2026 The Tumblox developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "soundeffectoutput.h"

#include <QAudioDevice>
#include <QMediaDevices>
#include <QSoundEffect>
#include <QTimer>
#include <QUrl>

namespace {

// The passes of one cascade arrive together; spread out they rise audibly,
// all within the half second before the next piece.
constexpr int PassSpacingMs = 80;
// Moves and colour turns share one voice, started at most this often: a held
// key ticks instead of piling up, and each tick gets heard, since Qt 6.4
// silences an effect restarted before its stream has begun to play.
constexpr int VoiceSpacingMs = 100;

// Installed while any output lives; Qt hands over its default handler when
// no other was installed.
QtMessageHandler previousHandler = nullptr;
int outputsAlive = 0;

// Qt Multimedia says "No audio device detected" once per effect, and repeats
// a decoding error each time an effect is made again; our one line says it all.
bool isMultimediaComplaint(const QString &message)
{
    static const QLatin1String prefixes[] = { QLatin1String("No audio device detected"),
                                              QLatin1String("PulseAudioService:"),
                                              QLatin1String("QSoundEffect(qaudio):") };
    for (const QLatin1String &prefix : prefixes) {
        if (message.startsWith(prefix))
            return true;
    }
    return false;
}

void filterMessages(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (type != QtWarningMsg || !isMultimediaComplaint(message))
        previousHandler(type, context, message);
}

} // namespace

SoundEffectOutput::SoundEffectOutput(const QString &base, QObject *parent)
    : QObject(parent)
    , base(base)
{
    if (outputsAlive++ == 0)
        previousHandler = qInstallMessageHandler(filterMessages);
    if (QMediaDevices::audioOutputs().isEmpty()) {
        warnOnce(QStringLiteral("no audio output found"));
        return;
    }
    for (int cue = 0; cue < GameCues::CueCount; ++cue)
        effects[cue] = makeEffect(cue);
}

SoundEffectOutput::~SoundEffectOutput()
{
    if (--outputsAlive > 0)
        return;
    // A handler installed after ours keeps its place; ours then simply passes on.
    const QtMessageHandler current = qInstallMessageHandler(previousHandler);
    if (current != filterMessages)
        qInstallMessageHandler(current);
}

QString SoundEffectOutput::fileName(int cue)
{
    static const char *const names[GameCues::CueCount] = { "move",  "rotate", "land",  "pass1",    "pass2", "pass3",
                                                           "pass4", "pass5",  "pass6", "level", "gameover", "record" };
    return QLatin1String(names[cue]) + QLatin1String(".wav");
}

QSoundEffect *SoundEffectOutput::makeEffect(int cue)
{
    auto *effect = new QSoundEffect(this);
    effect->setObjectName(fileName(cue));
    connect(effect, &QSoundEffect::statusChanged, this, [this, effect, cue] {
        if (effect->status() == QSoundEffect::Error)
            warnOnce(QStringLiteral("cannot play ") + fileName(cue));
    });
    QUrl source(base + fileName(cue));
    // Qt's sample cache would hand a remade effect the sample that failed,
    // which then stays "loading" for ever: a new query asks for the file afresh.
    if (rebuilds > 0)
        source.setQuery(QStringLiteral("attempt=%1").arg(rebuilds));
    effect->setSource(source);
    return effect;
}

void SoundEffectOutput::play(int cue)
{
    if (muted || cue < 0 || cue >= GameCues::CueCount || !effects[cue])
        return;
    // A failed effect is made again when it is next wanted: the file or the
    // device may be back. Never earlier, so a lasting fault costs nothing.
    if (effects[cue]->status() == QSoundEffect::Error) {
        ++rebuilds;
        delete effects[cue];
        effects[cue] = makeEffect(cue);
    }
    const int pass = cue - GameCues::Pass1;
    if (pass > 0 && cue <= GameCues::Pass6)
        QTimer::singleShot(pass * PassSpacingMs, this, [this, cue] {
            if (!muted)
                start(cue);
        });
    else
        start(cue);
}

void SoundEffectOutput::start(int cue)
{
    // Timed here rather than by isPlaying(): Qt 6.4 keeps an effect
    // "playing" for ever when it finds no device.
    if (cue == GameCues::Move || cue == GameCues::Rotate) {
        if (voiceClock.isValid() && voiceClock.elapsed() < VoiceSpacingMs)
            return;
        voiceClock.start();
    }
    effects[cue]->play();
}

void SoundEffectOutput::setMuted(bool on)
{
    muted = on;
    for (QSoundEffect *effect : effects) {
        if (effect)
            effect->setMuted(on);
    }
}

void SoundEffectOutput::warnOnce(const QString &problem)
{
    if (warned)
        return;
    warned = true;
    qWarning("Sound: %s; the game goes on silently", qPrintable(problem));
}
