// SPDX-FileCopyrightText: 2026 The Tumblox developers
// SPDX-License-Identifier: GPL-3.0-or-later
// tumblox-soundgen: synthesises every sound effect of the game, so that the
// sounds can be changed and made again from source.

#include "synth.h"

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace {

const char usage[] =
    "Usage: tumblox-soundgen SOUNDS_DIR\n"
    "Writes the game's sound effects, 16-bit PCM mono WAV files at 48 kHz,\n"
    "into SOUNDS_DIR. From the source tree:\n"
    "  cmake --build build --target tumblox-soundgen\n"
    "  build/tools/soundgen/tumblox-soundgen sound/effects\n";

// Qt 6.4's QSoundEffect stops its PulseAudio stream as soon as it has handed
// over the last byte, and the server drops what it still holds, about 150 ms.
// So every effect ends in this much silence, and the sound itself stays
// within 0.2 s, to keep the files under 0.4 s.
constexpr double TrailingSilenceSeconds = 0.19;

struct Effect
{
    const char *name;
    double seconds; // of sound, before the trailing silence
    double peak;
    std::vector<Voice> voices;
};

// A soft bell: fundamental with a few overtones.
Voice bell(double start, double frequency, double length, double decay)
{
    Voice voice;
    voice.start = start;
    voice.length = length;
    voice.frequency = frequency;
    voice.decay = decay;
    voice.harmonics[0] = 0.35;
    voice.harmonics[1] = 0.12;
    voice.harmonics[2] = 0.05;
    return voice;
}

Voice tick(double frequency, double endFrequency, double length, double decay)
{
    Voice voice;
    voice.length = length;
    voice.frequency = frequency;
    voice.endFrequency = endFrequency;
    voice.decay = decay;
    voice.harmonics[0] = 0.25;
    return voice;
}

std::vector<Effect> effects()
{
    // Moves and colour turns come often: short and quiet.
    std::vector<Effect> list = {
        { "move", 0.05, 0.12, { tick(1500, 1300, 0.05, 0.015) } },
        { "rotate", 0.06, 0.12, { tick(900, 1400, 0.06, 0.02) } },
    };

    // The landing: a low thump with a little grit.
    Voice thump = tick(150, 60, 0.12, 0.04);
    thump.harmonics[0] = 0.4;
    Voice grit;
    grit.noise = true;
    grit.frequency = 1000;
    grit.length = 0.04;
    grit.decay = 0.008;
    grit.amplitude = 0.6;
    list.push_back({ "land", 0.12, 0.45, { thump, grit } });

    // Cascade passes climb a pentatonic scale from C5, one step per pass.
    const double scale[] = { 523.25, 587.33, 659.26, 783.99, 880.00, 1046.50 };
    for (int pass = 0; pass < 6; ++pass) {
        static const char *names[] = { "pass1", "pass2", "pass3", "pass4", "pass5", "pass6" };
        list.push_back({ names[pass], 0.2, 0.4,
                         { bell(0, scale[pass], 0.2, 0.07), bell(0, scale[pass] * 2, 0.12, 0.03) } });
    }

    // A new level: C major arpeggio up to the octave.
    std::vector<Voice> level;
    const double rising[] = { 523.25, 659.26, 783.99, 1046.50 };
    for (int i = 0; i < 4; ++i)
        level.push_back(bell(0.045 * i, rising[i], 0.2 - 0.045 * i, 0.06));
    list.push_back({ "level", 0.2, 0.45, level });

    // Game over: a darker tone falling an octave, then a low last note.
    Voice fall = bell(0, 392.00, 0.13, 0.08);
    fall.endFrequency = 196.00;
    Voice last = bell(0.12, 130.81, 0.08, 0.06);
    for (Voice *voice : { &fall, &last }) {
        voice->harmonics[0] = 0.5;
        voice->harmonics[1] = 0.33;
        voice->harmonics[2] = 0.2;
    }
    list.push_back({ "gameover", 0.2, 0.45, { fall, last } });

    // A record: a quick run up, then a bright chord.
    std::vector<Voice> record;
    const double run[] = { 523.25, 783.99, 1046.50 };
    for (int i = 0; i < 3; ++i)
        record.push_back(bell(0.035 * i, run[i], 0.045, 0.04));
    for (const double frequency : { 1046.50, 1318.51, 1567.98 })
        record.push_back(bell(0.1, frequency, 0.1, 0.06));
    list.push_back({ "record", 0.2, 0.45, record });
    return list;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2 || std::string(argv[1]) == "--help" || std::string(argv[1]) == "-h") {
        std::fputs(usage, argc == 2 ? stdout : stderr);
        return argc == 2 ? 0 : 2;
    }
    const std::string dir = argv[1];
    bool ok = true;
    for (const Effect &effect : effects()) {
        const std::string path = dir + '/' + effect.name + ".wav";
        const double seconds = effect.seconds + TrailingSilenceSeconds;
        const std::string bytes = Synth::wavFile(Synth::render(effect.voices, seconds, effect.peak));
        std::ofstream file(path, std::ios::binary | std::ios::trunc);
        if (!file.write(bytes.data(), std::streamsize(bytes.size()))) {
            std::fprintf(stderr, "cannot write %s\n", path.c_str());
            ok = false;
            continue;
        }
        std::printf("%-28s %5.3f s %6zu bytes\n", path.c_str(), seconds, bytes.size());
    }
    return ok ? 0 : 1;
}
