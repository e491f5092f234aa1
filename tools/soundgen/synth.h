// SPDX-FileCopyrightText: 2026 The Tumblox developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// A tiny additive synthesiser: each voice is a decaying tone or noise burst;
// an effect is the sum of its voices, scaled to a chosen peak.
struct Voice
{
    double start = 0;       // seconds into the effect
    double length = 0.1;    // seconds
    double frequency = 440; // Hz at the start ...
    double endFrequency = 0; // ... gliding to this one; 0 keeps it
    double amplitude = 1;
    double decay = 0.05;    // seconds for the level to fall to 1/e
    // Levels of the 2nd, 3rd and 4th harmonic against the fundamental.
    double harmonics[3] = { 0, 0, 0 };
    // Instead of a tone: noise through a one-pole low-pass at frequency.
    bool noise = false;
};

class Synth
{
public:
    static constexpr int SampleRate = 48000;

    // The voices mixed over seconds, scaled so the loudest sample is peak
    // (0 to 1), with short fades at both ends so nothing clicks.
    static std::vector<std::int16_t> render(const std::vector<Voice> &voices, double seconds, double peak);
    // A 16-bit PCM mono WAV file of the samples.
    static std::string wavFile(const std::vector<std::int16_t> &samples);
};
