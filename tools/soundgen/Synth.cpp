#include "tools/soundgen/Synth.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kPi = 3.14159265358979323846;

// The polynomial band-limited step: removes most of the aliasing of a hard
// edge at phase 0 for a phase increment of dt.
double polyBlep(double t, double dt) {
    if (t < dt) {
        t /= dt;
        return t + t - t * t - 1.0;
    }
    if (t > 1.0 - dt) {
        t = (t - 1.0) / dt;
        return t * t + t + t + 1.0;
    }
    return 0.0;
}

double oscillator(Wave wave, double phase, double dt, double duty) {
    switch (wave) {
    case Wave::Sine:
        return std::sin(2.0 * kPi * phase);
    case Wave::Triangle:
        return 4.0 * std::fabs(phase - 0.5) - 1.0;
    case Wave::Saw:
        return 2.0 * phase - 1.0 - polyBlep(phase, dt);
    case Wave::Square: {
        double v = phase < duty ? 1.0 : -1.0;
        v += polyBlep(phase, dt);
        v -= polyBlep(std::fmod(phase - duty + 1.0, 1.0), dt);
        return v;
    }
    }
    return 0.0;
}

} // namespace

float& Synth::at(size_t i) {
    if (i >= buffer_.size())
        buffer_.resize(i + 1, 0.0f);
    return buffer_[i];
}

double Synth::envelope(double t, double duration, double attack, double decay,
                       double release) const {
    double level = attack > 0.0 && t < attack ? t / attack : 1.0;
    if (decay > 0.0 && t > attack)
        level *= std::exp(-(t - attack) / decay);
    if (release > 0.0 && t > duration - release)
        level *= std::max(0.0, (duration - t) / release);
    return level;
}

double Synth::nextRandom() {
    // xorshift32: the same noise on every build, so the files never change.
    noiseState_ ^= noiseState_ << 13;
    noiseState_ ^= noiseState_ >> 17;
    noiseState_ ^= noiseState_ << 5;
    return noiseState_ / 2147483648.0 - 1.0;
}

void Synth::add(double start, const Tone& tone) {
    const size_t first = static_cast<size_t>(start * rate_);
    const size_t count = static_cast<size_t>(tone.duration * rate_);
    double phase = 0.0;
    for (size_t i = 0; i < count; ++i) {
        const double t = static_cast<double>(i) / rate_;
        double frequency = tone.frequency;
        if (tone.endFrequency > 0.0)
            frequency *= std::pow(tone.endFrequency / tone.frequency, t / tone.duration);
        if (tone.vibratoDepth > 0.0)
            frequency *= std::pow(2.0, tone.vibratoDepth / 12.0 *
                                           std::sin(2.0 * kPi * tone.vibratoRate * t));
        const double dt = std::min(0.5, frequency / rate_);
        const double value = oscillator(tone.wave, phase, dt, tone.duty);
        at(first + i) +=
            static_cast<float>(value * tone.volume *
                               envelope(t, tone.duration, tone.attack, tone.decay, tone.release));
        phase += dt;
        if (phase >= 1.0)
            phase -= 1.0;
    }
}

void Synth::add(double start, const Noise& noise) {
    const size_t first = static_cast<size_t>(start * rate_);
    const size_t count = static_cast<size_t>(noise.duration * rate_);
    double low = 0.0;
    for (size_t i = 0; i < count; ++i) {
        const double t = static_cast<double>(i) / rate_;
        double cutoff = noise.cutoff;
        if (noise.endCutoff > 0.0)
            cutoff *= std::pow(noise.endCutoff / noise.cutoff, t / noise.duration);
        const double k = 1.0 - std::exp(-2.0 * kPi * cutoff / rate_);
        const double white = nextRandom();
        low += k * (white - low);
        const double value = noise.highPass ? white - low : low;
        at(first + i) += static_cast<float>(
            value * noise.volume * envelope(t, noise.duration, noise.attack, noise.decay, 0.005));
    }
}

void Synth::lowPass(double cutoff) {
    const double k = 1.0 - std::exp(-2.0 * kPi * cutoff / rate_);
    double low = 0.0;
    for (float& sample : buffer_) {
        low += k * (sample - low);
        sample = static_cast<float>(low);
    }
}

std::vector<int16_t> Synth::render16(double peak) const {
    float loudest = 0.0f;
    for (float sample : buffer_)
        loudest = std::max(loudest, std::fabs(sample));
    const double scale = loudest > 0.0f ? peak * 32767.0 / loudest : 0.0;
    std::vector<int16_t> out(buffer_.size());
    for (size_t i = 0; i < buffer_.size(); ++i)
        out[i] = static_cast<int16_t>(std::lround(buffer_[i] * scale));
    return out;
}

std::vector<int8_t> Synth::render8(double peak) const {
    float loudest = 0.0f;
    for (float sample : buffer_)
        loudest = std::max(loudest, std::fabs(sample));
    const double scale = loudest > 0.0f ? peak * 127.0 / loudest : 0.0;
    std::vector<int8_t> out(buffer_.size());
    for (size_t i = 0; i < buffer_.size(); ++i)
        out[i] = static_cast<int8_t>(std::lround(buffer_[i] * scale));
    return out;
}

int noteNumber(const char* name) {
    static const int kSemitones[7] = {9, 11, 0, 2, 4, 5, 7}; // A B C D E F G
    if (!name || name[0] < 'A' || name[0] > 'G')
        return -1;
    int semitone = kSemitones[name[0] - 'A'];
    int i = 1;
    if (name[i] == '#') {
        ++semitone;
        ++i;
    } else if (name[i] == 'b') {
        --semitone;
        ++i;
    }
    if (name[i] < '0' || name[i] > '9' || name[i + 1] != '\0')
        return -1;
    return (name[i] - '0') * 12 + semitone;
}

double noteFrequency(const char* name) {
    const int n = noteNumber(name);
    return n < 0 ? 0.0 : 440.0 * std::pow(2.0, (n - 57) / 12.0);
}
