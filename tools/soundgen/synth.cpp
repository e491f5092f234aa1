// SPDX-FileCopyrightText: 2026 The Tumblox developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "synth.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double Pi = 3.14159265358979323846;
constexpr double AttackSeconds = 0.003;
constexpr double FadeSeconds = 0.006;

// Noise that is the same on every run, so the committed files can be made again.
class NoiseSource
{
public:
    double next()
    {
        state = state * 1664525u + 1013904223u;
        return double(state >> 8) / double(1u << 24) * 2 - 1;
    }

private:
    std::uint32_t state = 12345;
};

void addVoice(std::vector<double> &mix, const Voice &voice)
{
    const auto first = std::size_t(voice.start * Synth::SampleRate);
    const auto count = std::size_t(voice.length * Synth::SampleRate);
    const double endFrequency = voice.endFrequency > 0 ? voice.endFrequency : voice.frequency;
    NoiseSource noise;
    double phase = 0;
    double filtered = 0;
    for (std::size_t i = 0; i < count && first + i < mix.size(); ++i) {
        const double t = double(i) / Synth::SampleRate;
        // Exponential glide, so a fall in pitch sounds even.
        const double frequency = voice.frequency * std::pow(endFrequency / voice.frequency, t / voice.length);
        phase += 2 * Pi * frequency / Synth::SampleRate;
        double value;
        if (voice.noise) {
            const double smoothing = 1 - std::exp(-2 * Pi * frequency / Synth::SampleRate);
            filtered += smoothing * (noise.next() - filtered);
            value = filtered;
        } else {
            value = std::sin(phase);
            for (int h = 0; h < 3; ++h)
                value += voice.harmonics[h] * std::sin((h + 2) * phase);
        }
        const double attack = std::min(1.0, t / AttackSeconds);
        const double release = std::min(1.0, (voice.length - t) / FadeSeconds);
        mix[first + i] += voice.amplitude * value * attack * release * std::exp(-t / voice.decay);
    }
}

void appendLittleEndian(std::string &bytes, std::uint32_t value, int size)
{
    for (int i = 0; i < size; ++i)
        bytes += char((value >> (8 * i)) & 0xff);
}

} // namespace

std::vector<std::int16_t> Synth::render(const std::vector<Voice> &voices, double seconds, double peak)
{
    std::vector<double> mix(std::size_t(seconds * SampleRate), 0.0);
    for (const Voice &voice : voices)
        addVoice(mix, voice);
    double loudest = 0;
    for (const double value : mix)
        loudest = std::max(loudest, std::abs(value));
    const double scale = loudest > 0 ? peak * 32767 / loudest : 0;
    std::vector<std::int16_t> samples;
    samples.reserve(mix.size());
    for (std::size_t i = 0; i < mix.size(); ++i) {
        const double fade = std::min(1.0, double(mix.size() - i) / (FadeSeconds * SampleRate));
        samples.push_back(std::int16_t(std::lround(mix[i] * scale * fade)));
    }
    return samples;
}

std::string Synth::wavFile(const std::vector<std::int16_t> &samples)
{
    const auto dataBytes = std::uint32_t(samples.size() * 2);
    std::string bytes = "RIFF";
    appendLittleEndian(bytes, 36 + dataBytes, 4);
    bytes += "WAVEfmt ";
    appendLittleEndian(bytes, 16, 4);             // size of the format chunk
    appendLittleEndian(bytes, 1, 2);              // PCM
    appendLittleEndian(bytes, 1, 2);              // mono
    appendLittleEndian(bytes, SampleRate, 4);
    appendLittleEndian(bytes, SampleRate * 2, 4); // bytes per second
    appendLittleEndian(bytes, 2, 2);              // bytes per frame
    appendLittleEndian(bytes, 16, 2);             // bits per sample
    bytes += "data";
    appendLittleEndian(bytes, dataBytes, 4);
    for (const std::int16_t sample : samples)
        appendLittleEndian(bytes, std::uint16_t(sample), 2);
    return bytes;
}
