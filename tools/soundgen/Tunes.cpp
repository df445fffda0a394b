#include "tools/soundgen/Tunes.h"

#include "tools/soundgen/Synth.h"

#include <cmath>
#include <sstream>
#include <stdexcept>

namespace {

// Sample numbers of the instruments every tune shares.
enum InstrumentNumber { kLead = 1, kBass, kPluck, kKick, kSnare, kHat };

// Channels: melody, bass, chords, drums.
enum Channel { kMelodyChannel, kBassChannel, kChordChannel, kDrumChannel };

constexpr int kRowsPerBar = 16;

// The instruments are recorded so that the note of the lowest octave the
// format has (or the middle one, for the drums) sounds as written below.
struct Instrument {
    int sample;
    int octaveShift; // format octave = musical octave - shift
};
const Instrument kLeadInstrument{kLead, 3};   // C-1 sounds C4
const Instrument kBassInstrument{kBass, 1};   // C-1 sounds C2
const Instrument kPluckInstrument{kPluck, 2}; // C-2 sounds C4

int rateFor(int period) {
    return static_cast<int>(std::lround(modRate(period)));
}

std::vector<int8_t> withoutOffset(std::vector<int8_t> data) {
    if (data.size() % 2)
        data.push_back(0);
    return data;
}

ModSample leadSample() {
    // One cycle is 16 samples; 32 cycles loop as a held tone.
    const int rate = rateFor(modPeriod(1, 0));
    Synth s(rate);
    Tone pulse;
    pulse.wave = Wave::Square;
    pulse.duty = 0.25;
    pulse.frequency = rate / 16.0;
    pulse.duration = 48.0 * 16 / rate;
    pulse.attack = 0.0;
    pulse.release = 0.0;
    pulse.volume = 0.7;
    s.add(0.0, pulse);
    Tone body = pulse;
    body.wave = Wave::Triangle;
    body.volume = 0.5;
    s.add(0.0, body);
    std::vector<float>& v = s.samples();
    v.erase(v.begin(), v.begin() + 16 * 16); // settled cycles only
    v.resize(32 * 16);
    float mean = 0.0f;
    for (float x : v)
        mean += x / static_cast<float>(v.size());
    for (float& x : v)
        x -= mean;
    ModSample sample;
    sample.name = "lead";
    sample.data = s.render8(0.95);
    sample.volume = 34;
    sample.loopStart = 0;
    sample.loopLength = static_cast<int>(sample.data.size());
    return sample;
}

ModSample bassSample() {
    const int rate = rateFor(modPeriod(1, 0));
    Synth s(rate);
    Tone t;
    t.wave = Wave::Square;
    t.duty = 0.5;
    t.frequency = rate / 64.0;
    t.duration = 1.0;
    t.attack = 0.002;
    t.decay = 0.35;
    t.volume = 0.45;
    s.add(0.0, t);
    t.wave = Wave::Triangle;
    t.volume = 0.9;
    s.add(0.0, t);
    s.lowPass(900.0);
    ModSample sample;
    sample.name = "bass";
    sample.data = withoutOffset(s.render8(0.95));
    sample.volume = 50;
    return sample;
}

ModSample pluckSample() {
    const int rate = rateFor(modPeriod(2, 0));
    Synth s(rate);
    Tone t;
    t.wave = Wave::Square;
    t.duty = 0.5;
    t.frequency = rate / 32.0;
    t.duration = 0.6;
    t.attack = 0.001;
    t.decay = 0.12;
    t.volume = 0.5;
    s.add(0.0, t);
    t.wave = Wave::Sine;
    t.frequency *= 2.0;
    t.decay = 0.06;
    t.volume = 0.3;
    s.add(0.0, t);
    s.lowPass(2500.0);
    ModSample sample;
    sample.name = "pluck";
    sample.data = withoutOffset(s.render8(0.95));
    sample.volume = 26;
    return sample;
}

ModSample drumSample(int which) {
    const int rate = rateFor(modPeriod(3, 0));
    Synth s(rate);
    ModSample sample;
    if (which == kKick) {
        Tone t;
        t.wave = Wave::Sine;
        t.frequency = 160.0;
        t.endFrequency = 42.0;
        t.duration = 0.3;
        t.attack = 0.0005;
        t.decay = 0.12;
        s.add(0.0, t);
        Noise click;
        click.duration = 0.006;
        click.decay = 0.002;
        click.cutoff = 4000.0;
        click.volume = 0.4;
        s.add(0.0, click);
        sample.name = "kick";
        sample.volume = 60;
    } else if (which == kSnare) {
        Noise n;
        n.duration = 0.2;
        n.decay = 0.06;
        n.cutoff = 5000.0;
        s.add(0.0, n);
        Tone t;
        t.wave = Wave::Triangle;
        t.frequency = 210.0;
        t.endFrequency = 150.0;
        t.duration = 0.08;
        t.decay = 0.03;
        t.volume = 0.7;
        s.add(0.0, t);
        sample.name = "snare";
        sample.volume = 40;
    } else {
        Noise n;
        n.duration = 0.06;
        n.decay = 0.015;
        n.cutoff = 6000.0;
        n.highPass = true;
        s.add(0.0, n);
        sample.name = "hat";
        sample.volume = 20;
    }
    sample.data = withoutOffset(s.render8(0.95));
    return sample;
}

std::vector<ModSample> instruments() {
    return {leadSample(),      bassSample(),       pluckSample(),
            drumSample(kKick), drumSample(kSnare), drumSample(kHat)};
}

int periodOf(const Instrument& instrument, const std::string& name) {
    const int n = noteNumber(name.c_str());
    const int period = n < 0 ? 0 : modPeriod(n / 12 - instrument.octaveShift, n % 12);
    if (period == 0)
        throw std::runtime_error("note " + name + " is outside the instrument's range");
    return period;
}

std::vector<std::string> tokensOf(const std::string& text) {
    std::istringstream in(text);
    std::vector<std::string> tokens;
    for (std::string token; in >> token;)
        tokens.push_back(token);
    return tokens;
}

// Writes one row per token from the row on: a note name starts a note, "."
// lets it sound on, "-" silences the channel. Held melody notes get a
// gentle vibrato after their first few rows.
void writeNotes(ModPattern& pattern, int channel, const Instrument& instrument, int row,
                const std::string& text, bool vibrato = false) {
    int sinceNote = -1;
    for (const std::string& token : tokensOf(text)) {
        if (row >= ModPattern::kRows)
            throw std::runtime_error("too many rows: " + text);
        ModCell& cell = pattern.rows[row][channel];
        if (token == "-") {
            cell.effect = kModSetVolume;
            cell.param = 0;
            sinceNote = -1;
        } else if (token == ".") {
            if (sinceNote >= 0 && ++sinceNote >= 3 && vibrato && cell.effect == 0) {
                cell.effect = kModVibrato;
                cell.param = 0x42;
            }
        } else {
            cell.sample = instrument.sample;
            cell.period = periodOf(instrument, token);
            sinceNote = 0;
        }
        ++row;
    }
}

// "K" kick, "S" snare, "H" hat, "." nothing; one token per row.
void writeDrums(ModPattern& pattern, int row, const std::string& text) {
    for (const std::string& token : tokensOf(text)) {
        ModCell& cell = pattern.rows[row++][kDrumChannel];
        if (token == ".")
            continue;
        cell.sample = token == "K" ? kKick : token == "S" ? kSnare : kHat;
        cell.period = modPeriod(3, 0);
    }
}

struct Chord {
    const char* root; // e.g. "A2": the bass note of the chord
    bool minor;
};

std::string noteName(int number) {
    static const char* kNames[12] = {"C",  "C#", "D",  "D#", "E",  "F",
                                     "F#", "G",  "G#", "A",  "A#", "B"};
    return std::string(kNames[number % 12]) + std::to_string(number / 12);
}

// The bass plays the chord's root, its octave or its fifth at the rows given.
void writeBass(ModPattern& pattern, int bar, const Chord& chord,
               const std::vector<std::pair<int, int>>& rhythm) {
    const int root = noteNumber(chord.root);
    for (const auto& [row, interval] : rhythm) {
        ModCell& cell = pattern.rows[bar * kRowsPerBar + row][kBassChannel];
        cell.sample = kBass;
        cell.period = periodOf(kBassInstrument, noteName(root + interval));
    }
}

// Broken chords on the pluck, one chord tone every second row, from the
// root in the octave above middle C.
void writeArpeggio(ModPattern& pattern, int bar, const Chord& chord,
                   const std::vector<int>& figure) {
    const int root = noteNumber("C4") + noteNumber(chord.root) % 12;
    const int third = chord.minor ? 3 : 4;
    for (size_t i = 0; i < figure.size(); ++i) {
        const int step = figure[i];
        if (step < 0)
            continue;
        const int interval = step == 0 ? 0 : step == 1 ? third : step == 2 ? 7 : 12;
        ModCell& cell = pattern.rows[bar * kRowsPerBar + 2 * i][kChordChannel];
        cell.sample = kPluck;
        cell.period = periodOf(kPluckInstrument, noteName(root + interval));
    }
}

// Speed and a narrow stereo picture, set again at the top of every pattern
// so the tune sounds the same whichever pattern a player starts at.
void writeSetup(ModPattern& pattern, int speed) {
    // Fine panning (E8x, 0 left to 15 right) means the same to every player,
    // unlike the coarse one.
    const int pans[4] = {6, 8, 9, 7};
    for (int channel = 0; channel < 3; ++channel) {
        pattern.rows[0][channel].effect = kModExtended;
        pattern.rows[0][channel].param = 0x80 | pans[channel];
    }
    pattern.rows[0][kDrumChannel].effect = kModSetSpeed;
    pattern.rows[0][kDrumChannel].param = speed;
    pattern.rows[1][kDrumChannel].effect = kModExtended;
    pattern.rows[1][kDrumChannel].param = 0x80 | pans[kDrumChannel];
}

struct Section {
    std::vector<Chord> chords;       // one per bar, four bars
    std::vector<std::string> melody; // one line of 16 tokens per bar, or none
    std::string drums;               // one bar, repeated
};

ModPattern makePattern(const Section& section, int speed,
                       const std::vector<std::pair<int, int>>& bassRhythm,
                       const std::vector<int>& arpFigure) {
    ModPattern pattern;
    for (int bar = 0; bar < 4; ++bar) {
        writeBass(pattern, bar, section.chords[bar], bassRhythm);
        writeArpeggio(pattern, bar, section.chords[bar], arpFigure);
        writeDrums(pattern, bar * kRowsPerBar, section.drums);
    }
    std::string melody;
    for (const std::string& line : section.melody)
        melody += line + " ";
    if (!melody.empty())
        writeNotes(pattern, kMelodyChannel, kLeadInstrument, 0, melody, true);
    writeSetup(pattern, speed);
    return pattern;
}

ModModule titleTune() {
    const int speed = 6; // 125 beats a minute, four rows a beat
    const std::vector<std::pair<int, int>> bass = {{0, 0},  {4, 12},  {6, 0},
                                                   {10, 0}, {12, 12}, {14, 7}};
    const std::vector<int> arp = {0, 1, 2, 3, 2, 1, 2, 1};
    const std::string drums = "K . H . S . H . K . H K S . H H";
    const std::string sparse = "K . . . H . . . K . . . H . . .";
    const Chord C{"C2", false}, Am{"A2", true}, F{"F2", false}, G{"G2", false}, Em{"E2", true};

    ModModule module;
    module.title = "Lurvane title";
    module.samples = instruments();
    module.patterns.push_back(makePattern({{C, Am, F, G}, {}, sparse}, speed, bass, arp));
    module.patterns.push_back(
        makePattern({{C, Am, F, G},
                     {"E5 . . . G5 . . . C6 . . . B5 . G5 .", "A5 . . . . . E5 . C5 . . . E5 . . .",
                      "F5 . . . A5 . . . C6 . . . A5 . F5 .", "G5 . . . . . . . D5 . . . - . . ."},
                     drums},
                    speed, bass, arp));
    module.patterns.push_back(
        makePattern({{F, G, Em, Am},
                     {"A5 . . . C6 . . . A5 . . . G5 . F5 .", "G5 . . . D5 . . . G5 . . . B5 . . .",
                      "B5 . . . G5 . . . E5 . . . G5 . . .", "A5 . . . . . . . E5 . . . G5 . . ."},
                     drums},
                    speed, bass, arp));
    module.patterns.push_back(
        makePattern({{F, G, C, C},
                     {"A5 . . . C6 . . . F5 . . . A5 . . .", "G5 . . . B5 . . . D6 . . . B5 . . .",
                      "C6 . . . . . . . G5 . . . E5 . . .", "C5 . . . . . . . - . . . . . . ."},
                     drums},
                    speed, bass, arp));
    module.orders = {0, 1, 2, 1, 3};
    return module;
}

ModModule gameTune() {
    const int speed = 5; // 150 beats a minute
    const std::vector<std::pair<int, int>> bass = {{0, 0}, {2, 12},  {4, 0},  {6, 12},
                                                   {8, 0}, {10, 12}, {12, 0}, {14, 12}};
    const std::vector<int> arp = {0, 2, 3, 2, 1, 2, 3, 2};
    const std::string drums = "K . H . S . H . K . H . S . H K";
    const std::string light = "K . H . . . H . K . H . . . H .";
    const Chord Am{"A2", true}, F{"F2", false}, C{"C3", false}, G{"G2", false}, Dm{"D3", true},
        E{"E2", false};

    ModModule module;
    module.title = "Lurvane in game";
    module.samples = instruments();
    module.patterns.push_back(makePattern({{Am, F, C, G}, {}, light}, speed, bass, arp));
    module.patterns.push_back(makePattern(
        {{Am, F, C, G},
         {"A4 . . C5 . . E5 . D5 . C5 . . . . .", "F4 . . A4 . . C5 . B4 . A4 . . . . .",
          "G4 . . C5 . . E5 . G5 . E5 . . . . .", "D5 . . . . . B4 . . . G4 . . . . ."},
         drums},
        speed, bass, arp));
    module.patterns.push_back(makePattern(
        {{Dm, Am, F, E},
         {"F5 . . E5 . . D5 . . . A4 . . . . .", "C5 . . B4 . . A4 . . . E5 . . . . .",
          "F5 . . E5 . . C5 . . . A4 . . . . .", "B4 . . . G#4 . . . E4 . . . G#4 . B4 ."},
         drums},
        speed, bass, arp));
    module.patterns.push_back(
        makePattern({{Am, F, G, Am},
                     {"E5 . . . A5 . . . G5 . E5 . . . C5 .", "D5 . . . C5 . . . A4 . . . C5 . . .",
                      "B4 . . . D5 . . . G5 . . . D5 . B4 .", "A4 . . . . . . . - . . . . . . ."},
                     drums},
                    speed, bass, arp));
    module.orders = {0, 1, 2, 3, 1, 2};
    return module;
}

ModModule highScoreTune() {
    const int speed = 6;
    const std::vector<std::pair<int, int>> bass = {{0, 0}, {6, 0}, {8, 7}, {12, 12}};
    const std::vector<int> arp = {0, 1, 2, 3, 0, 1, 2, 3};
    const std::string drums = "K . H . S . H . K . K . S . H H";
    const Chord C{"C2", false}, F{"F2", false}, G{"G2", false}, Am{"A2", true};

    ModModule module;
    module.title = "Lurvane high score";
    module.samples = instruments();
    module.patterns.push_back(
        makePattern({{C, F, G, C},
                     {"C5 . . C5 . . C5 . E5 . . . G5 . . .", "A5 . . . . . G5 . F5 . . . A5 . . .",
                      "G5 . . . . . F5 . D5 . . . B4 . . .", "C5 . . . E5 . . . G5 . . . C6 . . ."},
                     drums},
                    speed, bass, arp));
    module.patterns.push_back(makePattern({{C, Am, F, G}, {}, drums}, speed, bass, arp));
    module.orders = {0, 1};
    return module;
}

} // namespace

std::vector<Tune> makeTunes() {
    return {
        {"Music/title.mod", titleTune()},
        {"Music/ingame.mod", gameTune()},
        {"Music/highscore.mod", highScoreTune()},
    };
}
