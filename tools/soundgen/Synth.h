// A small additive synthesiser for the game's own sounds: band-limited
// oscillators with pitch sweeps and vibrato, exponential envelopes, filtered
// noise, all mixed into one mono buffer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

enum class Wave { Sine, Triangle, Square, Saw };

struct Tone {
    Wave wave = Wave::Square;
    double frequency = 440.0;  // Hz at the start
    double endFrequency = 0.0; // Hz at the end of an exponential sweep; 0 for none
    double duty = 0.5;         // high part of a square wave's cycle
    double duration = 0.1;     // seconds
    double attack = 0.003;     // seconds of linear rise
    double decay = 0.0;        // time constant in seconds after the attack; 0 holds
    double release = 0.01;     // seconds of fade at the end, against clicks
    double volume = 1.0;
    double vibratoRate = 0.0;  // Hz
    double vibratoDepth = 0.0; // semitones
};

struct Noise {
    double duration = 0.1;
    double attack = 0.001;
    double decay = 0.05; // time constant in seconds
    double volume = 1.0;
    double cutoff = 8000.0; // Hz of a one-pole low-pass at the start
    double endCutoff = 0.0; // Hz at the end; 0 keeps the start value
    bool highPass = false;  // keep what lies above the cutoff instead
};

class Synth {
public:
    explicit Synth(int sampleRate) : rate_(sampleRate) {}

    int sampleRate() const { return rate_; }
    void add(double start, const Tone& tone);
    void add(double start, const Noise& noise);
    // A one-pole low-pass over everything mixed so far.
    void lowPass(double cutoff);

    std::vector<float>& samples() { return buffer_; }
    // Scaled so the loudest sample reaches peak (of full scale), as 16 bits.
    std::vector<int16_t> render16(double peak) const;
    // Scaled so the loudest sample reaches peak, as signed 8 bits.
    std::vector<int8_t> render8(double peak) const;

private:
    float& at(size_t i);
    double envelope(double t, double duration, double attack, double decay, double release) const;
    double nextRandom();

    int rate_;
    std::vector<float> buffer_;
    uint32_t noiseState_ = 0x9E3779B9u;
};

// "C4", "F#5", "Bb3": equal temperament with A4 at 440 Hz.
double noteFrequency(const char* name);
// Semitones above C0 of a note name, or -1 when it is no note name.
int noteNumber(const char* name);
