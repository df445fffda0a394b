#include "tools/soundgen/SoundEffects.h"

#include "tools/soundgen/Synth.h"

namespace {

constexpr int kRate = 44100;

WavSound finish(Synth& synth, double peak) {
    synth.lowPass(9000.0); // rounds off the edges of the square waves
    WavSound sound;
    sound.sampleRate = kRate;
    sound.samples = synth.render16(peak);
    return sound;
}

Tone note(Wave wave, const char* name, double duration, double decay, double volume = 1.0) {
    Tone tone;
    tone.wave = wave;
    tone.frequency = noteFrequency(name);
    tone.duration = duration;
    tone.decay = decay;
    tone.volume = volume;
    return tone;
}

// A note with a quiet square an octave up on a triangle: soft but bright.
void chipNote(Synth& synth, double start, const char* name, double duration, double decay,
              double volume = 1.0) {
    synth.add(start, note(Wave::Triangle, name, duration, decay, volume));
    Tone upper = note(Wave::Square, name, duration, decay * 0.7, volume * 0.25);
    upper.frequency *= 2.0;
    upper.duty = 0.25;
    synth.add(start, upper);
}

void arpeggio(Synth& synth, double start, std::initializer_list<const char*> names, double step,
              double lastDuration, double decay) {
    double t = start;
    size_t i = 0;
    for (const char* name : names) {
        const bool last = ++i == names.size();
        chipNote(synth, t, name, last ? lastDuration : step * 1.6, last ? decay : step * 1.5);
        t += step;
    }
}

WavSound menuChoice() {
    Synth s(kRate);
    Tone a = note(Wave::Square, "A5", 0.05, 0.04, 0.6);
    a.duty = 0.25;
    s.add(0.0, a);
    Tone b = note(Wave::Square, "E6", 0.12, 0.05, 0.6);
    b.duty = 0.25;
    s.add(0.045, b);
    s.add(0.045, note(Wave::Sine, "E5", 0.12, 0.06, 0.5));
    return finish(s, 0.6);
}

WavSound eat(double pitch) {
    Synth s(kRate);
    Tone chirp;
    chirp.wave = Wave::Square;
    chirp.duty = 0.3;
    chirp.frequency = 420.0 * pitch;
    chirp.endFrequency = 1150.0 * pitch;
    chirp.duration = 0.075;
    chirp.decay = 0.05;
    chirp.volume = 0.6;
    s.add(0.0, chirp);
    Tone body = chirp;
    body.wave = Wave::Sine;
    body.frequency /= 2.0;
    body.endFrequency /= 2.0;
    body.volume = 0.8;
    s.add(0.0, body);
    return finish(s, 0.55);
}

WavSound levelStart() {
    Synth s(kRate);
    arpeggio(s, 0.0, {"C5", "E5", "G5", "C6"}, 0.075, 0.45, 0.18);
    s.add(0.225, note(Wave::Sine, "C4", 0.45, 0.2, 0.5));
    return finish(s, 0.7);
}

WavSound crash() {
    Synth s(kRate);
    Noise crunch;
    crunch.duration = 0.55;
    crunch.decay = 0.12;
    crunch.cutoff = 5000.0;
    crunch.endCutoff = 300.0;
    s.add(0.0, crunch);
    Tone thud;
    thud.wave = Wave::Sine;
    thud.frequency = 220.0;
    thud.endFrequency = 45.0;
    thud.duration = 0.4;
    thud.decay = 0.15;
    thud.volume = 0.9;
    s.add(0.0, thud);
    Tone fall = note(Wave::Square, "E4", 0.35, 0.12, 0.25);
    fall.endFrequency = noteFrequency("E3");
    s.add(0.03, fall);
    return finish(s, 0.75);
}

WavSound levelCompleted() {
    Synth s(kRate);
    arpeggio(s, 0.0, {"G5", "C6", "E6"}, 0.09, 0.1, 0.1);
    const double at = 0.3;
    for (const char* name : {"C5", "E5", "G5", "C6"}) {
        Tone t = note(Wave::Triangle, name, 0.7, 0.3, 0.5);
        t.vibratoRate = 6.0;
        t.vibratoDepth = 0.12;
        s.add(at, t);
    }
    Tone top = note(Wave::Square, "G6", 0.6, 0.2, 0.18);
    top.duty = 0.25;
    s.add(at, top);
    return finish(s, 0.7);
}

// A bell: a sine with two inharmonic partials that die away faster.
void bell(Synth& s, double start, const char* name, double duration, double volume) {
    Tone t = note(Wave::Sine, name, duration, duration / 3.0, volume);
    t.attack = 0.001;
    s.add(start, t);
    Tone p = t;
    p.frequency *= 2.76;
    p.decay = duration / 8.0;
    p.volume = volume * 0.35;
    s.add(start, p);
    p.frequency = t.frequency * 5.4;
    p.decay = duration / 16.0;
    p.volume = volume * 0.15;
    s.add(start, p);
}

WavSound countPhase() {
    Synth s(kRate);
    bell(s, 0.0, "G5", 0.5, 0.8);
    bell(s, 0.06, "D6", 0.5, 0.5);
    return finish(s, 0.6);
}

WavSound timeUp() {
    Synth s(kRate);
    const char* notes[] = {"A4", "G#4", "G4"};
    for (int i = 0; i < 3; ++i) {
        Tone t = note(Wave::Square, notes[i], i == 2 ? 0.7 : 0.22, i == 2 ? 0.35 : 0.2, 0.5);
        t.duty = 0.4;
        t.vibratoRate = 7.0;
        t.vibratoDepth = i == 2 ? 0.3 : 0.1;
        if (i == 2)
            t.endFrequency = noteFrequency("D#4");
        s.add(i * 0.25, t);
        s.add(i * 0.25, note(Wave::Triangle, notes[i], t.duration, t.decay, 0.5));
    }
    return finish(s, 0.7);
}

WavSound tick() {
    Synth s(kRate);
    Tone block = note(Wave::Sine, "E6", 0.06, 0.012, 1.0);
    block.attack = 0.0005;
    s.add(0.0, block);
    Noise click;
    click.duration = 0.01;
    click.decay = 0.002;
    click.cutoff = 3000.0;
    click.highPass = true;
    click.volume = 0.5;
    s.add(0.0, click);
    return finish(s, 0.45);
}

WavSound gameOver() {
    Synth s(kRate);
    const char* melody[] = {"E5", "D#5", "D5", "C#5"};
    for (int i = 0; i < 4; ++i)
        chipNote(s, i * 0.2, melody[i], 0.22, 0.2, 0.8);
    Tone last = note(Wave::Triangle, "C5", 1.0, 0.45, 0.9);
    last.vibratoRate = 5.0;
    last.vibratoDepth = 0.25;
    s.add(0.8, last);
    s.add(0.8, note(Wave::Triangle, "C3", 1.0, 0.5, 0.6));
    s.add(0.8, note(Wave::Triangle, "G3", 1.0, 0.5, 0.4));
    return finish(s, 0.7);
}

WavSound speedReset() {
    Synth s(kRate);
    Tone sweep;
    sweep.wave = Wave::Square;
    sweep.duty = 0.25;
    sweep.frequency = 1400.0;
    sweep.endFrequency = 260.0;
    sweep.duration = 0.32;
    sweep.decay = 0.25;
    sweep.volume = 0.5;
    sweep.vibratoRate = 25.0;
    sweep.vibratoDepth = 0.4;
    s.add(0.0, sweep);
    Tone under = sweep;
    under.wave = Wave::Triangle;
    under.frequency /= 2.0;
    under.endFrequency /= 2.0;
    under.volume = 0.7;
    s.add(0.0, under);
    return finish(s, 0.6);
}

WavSound shrink() {
    Synth s(kRate);
    const double starts[] = {1100.0, 900.0, 720.0, 560.0};
    for (int i = 0; i < 4; ++i) {
        Tone t;
        t.wave = Wave::Square;
        t.duty = 0.5;
        t.frequency = starts[i];
        t.endFrequency = starts[i] * 0.75;
        t.duration = 0.07;
        t.decay = 0.05;
        t.volume = 0.45;
        s.add(i * 0.065, t);
        Tone body = t;
        body.wave = Wave::Triangle;
        body.volume = 0.6;
        s.add(i * 0.065, body);
    }
    return finish(s, 0.6);
}

WavSound points() {
    Synth s(kRate);
    Tone b = note(Wave::Square, "B5", 0.07, 0.0, 0.5);
    b.duty = 0.5;
    s.add(0.0, b);
    Tone e = note(Wave::Square, "E6", 0.4, 0.14, 0.5);
    e.duty = 0.5;
    s.add(0.065, e);
    s.add(0.065, note(Wave::Sine, "E5", 0.4, 0.14, 0.4));
    return finish(s, 0.6);
}

WavSound timeItem() {
    Synth s(kRate);
    const char* notes[] = {"C6", "E6", "G6", "C7"};
    for (int i = 0; i < 4; ++i)
        bell(s, i * 0.055, notes[i], 0.45, 0.6);
    return finish(s, 0.6);
}

WavSound rankUp() {
    Synth s(kRate);
    const char* notes[] = {"C6", "D6", "E6", "G6", "A6", "C7"};
    for (int i = 0; i < 6; ++i) {
        Tone t = note(Wave::Triangle, notes[i], 0.09, 0.04, 0.7);
        s.add(i * 0.035, t);
        Tone shine = note(Wave::Sine, notes[i], 0.09, 0.03, 0.3);
        shine.frequency *= 2.0;
        s.add(i * 0.035, shine);
    }
    return finish(s, 0.5);
}

WavSound zoneCompleted() {
    Synth s(kRate);
    // Triplet pick-up, then a held major chord with vibrato.
    const char* pickup[] = {"G4", "C5", "E5", "G5", "E5", "G5"};
    const double times[] = {0.0, 0.1, 0.2, 0.3, 0.5, 0.6};
    for (int i = 0; i < 6; ++i)
        chipNote(s, times[i], pickup[i], 0.16, 0.12, 0.8);
    for (const char* name : {"C5", "E5", "G5", "C6"}) {
        Tone t = note(Wave::Triangle, name, 1.2, 0.6, 0.45);
        t.vibratoRate = 5.5;
        t.vibratoDepth = 0.15;
        s.add(0.75, t);
    }
    Tone lead = note(Wave::Square, "C6", 1.2, 0.5, 0.3);
    lead.duty = 0.25;
    lead.vibratoRate = 5.5;
    lead.vibratoDepth = 0.2;
    s.add(0.75, lead);
    s.add(0.75, note(Wave::Triangle, "C3", 1.2, 0.6, 0.6));
    return finish(s, 0.75);
}

WavSound highScore() {
    Synth s(kRate);
    for (const char* name : {"G4", "B4", "D5"})
        s.add(0.0, note(Wave::Triangle, name, 0.14, 0.08, 0.5));
    for (const char* name : {"C5", "E5", "G5", "C6"}) {
        Tone t = note(Wave::Triangle, name, 0.8, 0.35, 0.45);
        t.vibratoRate = 6.0;
        t.vibratoDepth = 0.12;
        s.add(0.16, t);
    }
    Tone sparkle = note(Wave::Square, "E6", 0.5, 0.2, 0.2);
    sparkle.duty = 0.25;
    s.add(0.16, sparkle);
    return finish(s, 0.7);
}

WavSound boost() {
    Synth s(kRate);
    Noise whoosh;
    whoosh.duration = 0.35;
    whoosh.attack = 0.08;
    whoosh.decay = 0.15;
    whoosh.cutoff = 600.0;
    whoosh.endCutoff = 6000.0;
    whoosh.volume = 0.8;
    s.add(0.0, whoosh);
    Tone rise;
    rise.wave = Wave::Triangle;
    rise.frequency = 220.0;
    rise.endFrequency = 880.0;
    rise.duration = 0.25;
    rise.decay = 0.2;
    rise.volume = 0.5;
    s.add(0.0, rise);
    return finish(s, 0.5);
}

WavSound stuck() {
    Synth s(kRate);
    Tone up = note(Wave::Sine, "C5", 0.09, 0.0, 0.8);
    up.endFrequency = noteFrequency("G5");
    s.add(0.0, up);
    Tone down = note(Wave::Sine, "G5", 0.16, 0.08, 0.8);
    down.endFrequency = noteFrequency("D5");
    down.vibratoRate = 12.0;
    down.vibratoDepth = 0.3;
    s.add(0.09, down);
    Tone edge = down;
    edge.wave = Wave::Square;
    edge.duty = 0.25;
    edge.volume = 0.15;
    s.add(0.09, edge);
    return finish(s, 0.5);
}

} // namespace

std::vector<SoundEffect> makeSoundEffects() {
    return {
        {"Sound/choice.wav", menuChoice()},
        {"Sound/Eat/eat1.wav", eat(1.0)},
        {"Sound/Eat/eat2.wav", eat(1.12)},
        {"Sound/Eat/eat3.wav", eat(1.26)},
        {"Sound/levelstart.wav", levelStart()},
        {"Sound/crash.wav", crash()},
        {"Sound/levelcompleted.wav", levelCompleted()},
        {"Sound/countphase.wav", countPhase()},
        {"Sound/timeup.wav", timeUp()},
        {"Sound/tick.wav", tick()},
        {"Sound/gameover.wav", gameOver()},
        {"Sound/speedreset.wav", speedReset()},
        {"Sound/shrink.wav", shrink()},
        {"Sound/points.wav", points()},
        {"Sound/timeitem.wav", timeItem()},
        {"Sound/rankup.wav", rankUp()},
        {"Sound/zonecompleted.wav", zoneCompleted()},
        {"Sound/highscore.wav", highScore()},
        {"Sound/boost.wav", boost()},
        {"Sound/stuck.wav", stuck()},
    };
}
